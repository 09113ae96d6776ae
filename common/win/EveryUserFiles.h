/*
 * Files that every user of the machine writes, in the machine's common
 * application-data folder: the settings file BANKSERV.INI, and whatever
 * else the users of one machine (a terminal server, a shared accounts PC)
 * must all be able to change.
 *
 * A file there belongs to the user whose process created it, and with the
 * rights it inherits the machine's other users may read it but not write
 * it. So such a file is created, whoever comes first, with rights of its
 * own that let every local user (the Users group) read and write it, and
 * its folder, where it is missing, with rights that let them list it and
 * add files to it. What already exists is left as it is: an administrator
 * repairs the rights of a file made otherwise (see the administrators'
 * guide).
 */
#pragma once

#include "common/TextConversion.h"
#include "common/win/Platform.h"

namespace paylode {

// The rights given, in the platform's security descriptor language (SDDL):
// the local system and the administrators may do anything, every local
// user may read and write the file (not delete it, not change its rights),
// and list the folder, go through it and add files and folders to it. Each
// is added to what the new file or folder inherits from its parent.
extern const wchar_t kEveryLocalUserFileRights[];
extern const wchar_t kEveryLocalUserFolderRights[];

// Creates `folder` where it is missing, with kEveryLocalUserFolderRights;
// its missing parents get the rights they inherit. ERROR_SUCCESS when the
// folder is there afterwards (made now or before), otherwise the Win32
// error of its creation. An existing folder is not changed.
DWORD CreateFolderForEveryLocalUser(const WideString& folder);

// Creates `file` empty where it is missing, with kEveryLocalUserFileRights,
// and its folder as CreateFolderForEveryLocalUser does. ERROR_SUCCESS when
// the file is there afterwards (made now, before, or by another process at
// the same instant), otherwise the Win32 error. An existing file is not
// changed.
DWORD CreateFileForEveryLocalUser(const WideString& file);

}  // namespace paylode
