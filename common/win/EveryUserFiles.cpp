/*
 * Files and folders for every local user (see EveryUserFiles.h), created
 * with a security descriptor made from SDDL text.
 */
#include "common/win/EveryUserFiles.h"

#include <sddl.h>

#include "common/win/Owners.h"

namespace paylode {

// FILE_GENERIC_READ and FILE_GENERIC_WRITE for the file: the profile calls
// rewrite the whole file in place, which needs its attributes written too.
// FILE_GENERIC_EXECUTE added for the folder, so that it can be gone through.
const wchar_t kEveryLocalUserFileRights[] = L"D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFW;;;BU)";
const wchar_t kEveryLocalUserFolderRights[] = L"D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFWFX;;;BU)";

namespace {

constexpr wchar_t kSeparator = L'\\';

// The security attributes of `rights`, which `descriptor` holds. False, with
// the reason in GetLastError, when the text cannot be read.
bool MakeAttributes(const wchar_t* rights, CLocalMemory<void>& descriptor, SECURITY_ATTRIBUTES& attributes) {
    attributes = {sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(rights, SDDL_REVISION_1, descriptor.Receive(), nullptr)) {
        return false;
    }
    attributes.lpSecurityDescriptor = descriptor.Get();
    return true;
}

bool Exists(const WideString& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Everything of `path` before its last backslash; empty when it has none.
WideString ParentOf(const WideString& path) {
    const std::size_t separator = path.find_last_of(kSeparator);
    return separator == WideString::npos ? WideString() : path.substr(0, separator);
}

// The folders above `folder` that are missing, from the top down, with the
// rights they inherit. A folder that cannot be made is left for the
// creation below it to report.
void CreateMissingParents(const WideString& folder) {
    const WideString parent = ParentOf(folder);
    if (parent.empty() || Exists(parent)) return;
    CreateMissingParents(parent);
    CreateDirectoryW(parent.c_str(), nullptr);
}

}  // namespace

DWORD CreateFolderForEveryLocalUser(const WideString& folder) {
    if (Exists(folder)) return ERROR_SUCCESS;
    CreateMissingParents(folder);
    CLocalMemory<void> descriptor;
    SECURITY_ATTRIBUTES attributes;
    if (!MakeAttributes(kEveryLocalUserFolderRights, descriptor, attributes)) return GetLastError();
    if (CreateDirectoryW(folder.c_str(), &attributes)) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : error;
}

DWORD CreateFileForEveryLocalUser(const WideString& file) {
    if (Exists(file)) return ERROR_SUCCESS;
    const WideString folder = ParentOf(file);
    if (!folder.empty()) {
        const DWORD error = CreateFolderForEveryLocalUser(folder);
        if (error != ERROR_SUCCESS) return error;
    }
    CLocalMemory<void> descriptor;
    SECURITY_ATTRIBUTES attributes;
    if (!MakeAttributes(kEveryLocalUserFileRights, descriptor, attributes)) return GetLastError();
    // CREATE_NEW: a file another process made in the meantime is its own,
    // and is not replaced.
    const CHandle made(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (made) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS ? ERROR_SUCCESS : error;
}

}  // namespace paylode
