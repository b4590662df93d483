// One global initialisation of libcurl, as its documentation asks of
// multi-threaded programs; made once, when the library first starts.
#pragma once

namespace korvel::platform {

// 0 on success, -1 when libcurl cannot be initialised.
int StartHttpLibrary();

} // namespace korvel::platform
