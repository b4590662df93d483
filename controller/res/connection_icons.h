// The two 20 x 20 pictures of the network page's station state: a green disc
// with a tick when the receiver's Wi-Fi card has joined its router, a grey
// disc with a cross when it has not.
#pragma once

#include <QPixmap>

namespace talvo {

const QPixmap &ConnectionIcon(bool connected);

} // namespace talvo
