/*
 * Writing and removing the entries of registry scripts
 * (common/RegistryScript.h): a module's registration of its classes, the
 * component's and the reference host server's alike. Each class's script is
 * one of the module's REGISTRY resources; its values name the module's own
 * path as %MODULE%, filled in from the replacements given.
 *
 * Registration writes each key of the script, a ForceRemove key removed
 * first with everything below it. Unregistration removes each key with
 * everything below it, but keeps a NoRemove key and removes only the keys
 * listed under it; an entry that is already gone is no failure. A ProgID
 * key that the other registry view of 64-bit Windows still registers (the
 * views share the ProgIDs) stays.
 *
 * Both stop at the first entry that fails and return that failure as it
 * came (a script that does not read, or a %NAME% with no replacement:
 * ERROR_INVALID_DATA); what was written or removed before it stays so.
 */
#pragma once

#include <map>
#include <string>

#include "common/win/Owners.h"
#include "common/win/Platform.h"

namespace paylode {

// Writes (or removes) the entries of a registry script, with `replacements`
// for the %NAME%s of its values.
HRESULT ApplyRegistryScript(const std::string& script, bool registering,
                            const std::map<std::wstring, std::wstring>& replacements);

// The same for the script that `module` carries as its REGISTRY resource
// `id`.
HRESULT ApplyRegistryResource(HMODULE module, int id, bool registering,
                              const std::map<std::wstring, std::wstring>& replacements);

// For the registration steps beyond the scripts, which throw their failure
// (common/win/Throw.h):

// Whether a registry call's status says that the key is not there.
bool IsGoneKey(LONG status);

// Opens a key; false when it is not there.
bool OpenRegistryKey(HKEY parent, const std::wstring& name, REGSAM access, CRegistryKey& key);

}  // namespace paylode
