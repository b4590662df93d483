// The discovery side of the manager: the two requests, the handler of every
// datagram the multicast channel receives, and the manual add by address.
//
// The handlers run on the multicast receive thread and change the search and
// managed registries through their own locking while callers use them; the
// device store is saved there too, with no registry lock held.
#pragma once

#include "korvel.h"

namespace korvel {

class Manager;

// Creates the channel when needed and sends one request named `name`
// ("SearchDevice" or "UpdateDeviceInfo"): 0 when sent, -1 otherwise. A failed
// send destroys the channel; the next request rebuilds it.
int SendDiscoveryRequest(Manager &manager, const char *name);

// One received datagram, as zero-terminated text. Anything that is not a
// discovery message of a known model of this maker and product is dropped.
void HandleMulticastMessage(Manager &manager, const char *text);

// A receiver answered a search: it enters the search list unless it is known
// to either list.
void OnSearchDeviceAck(Manager &manager, const char *text);
// A receiver announced itself or answered "UpdateDeviceInfo": a managed one
// is updated, and the device store saved when something changed.
void OnDeviceOnline(Manager &manager, const char *text);
void OnUpdateDeviceInfoAck(Manager &manager, const char *text);

// ZR_QM_AddDevice after its argument checks: logs in to `address` with the
// device operate credentials, reads the network status and configuration,
// fills `out` and adds it to the managed list. 0 or the first failing
// step's code.
int AddDeviceByAddress(Manager &manager, const char *address, DeviceInfo &out);

} // namespace korvel
