#pragma once
// The real folder that an item's TARGET names on the device, shared by the merge (which only
// looks), the apply phase and the alias lookups (which may create it).
#include <string>

class Kt_Device;
class Kt_QxpConfiguration;

namespace kt::engine {

class Kt_TransportSink;

// Turns `target` in place into the folder it names: an empty TARGET is `aliasFolder`; otherwise
// '/' becomes '\', a leading path alias of the configuration's current device is expanded and a
// relative result is placed in `aliasFolder`. A TARGET that begins with '{' is a class identifier:
// it stays as it is and the result is false (it names no folder).
bool ResolveTargetPath(Kt_QxpConfiguration& configuration, const std::string& aliasFolder, std::string& target);

// ResolveTargetPath with the platform's alias folder; with `create` the folder is then created
// through `device` (an existing folder counts as made). A folder that cannot be created is
// reported as message 109 with the device's result, without an event; the result still tells
// whether TARGET named a folder.
bool ResolveTarget(Kt_QxpConfiguration& configuration, Kt_Device& device, std::string& target, bool create,
                   Kt_TransportSink& sink);

}  // namespace kt::engine
