/*
 * How a test or the host program configures the reference host's registered
 * objects: an INI file that the objects read afresh each time one is
 * created, so that a change takes effect on the next creation, in this
 * process or another.
 *
 * The file is named by the environment variable TORVO_REFERENCE_HOST_INI,
 * or else is TorvoReferenceHost.ini beside the DLL. Sections and keys:
 *
 *   [PaymentFile]     FileName, Extension, Directory: what
 *                     GetPaymentFileSettings hands out
 *                     (defaults "Payments.", "txt", "C:\")
 *   [StatementImport] Filter, Directory: the statement import block's file
 *                     filter and starting folder (defaults "*.csv", "C:\")
 *   [Chooser]         File: the file the user picks; Cancel=1: the user
 *                     picks none; AcceptRejected=1: the file is taken even
 *                     when the statement-file test refuses it, as when a
 *                     user types a name
 *   [Failures]        object.Operation=HRESULT, e.g.
 *                     bankSettings.GetPaymentFileSettings=0x80004005;
 *                     Operation "Create" fails the creation, "Run" OleRun
 *   [NullTexts]       object.Operation=1: that text getter gives a null BSTR
 *   [Record]          File: every call is appended there as one line
 *
 * The objects are "bankSettings" and "chooser".
 */
#pragma once

#include <memory>
#include <string>

#include "referencehost/HostCallLog.h"

namespace paylode::referencehost {

class CServerConfiguration {
public:
    // The configuration as the file holds it now.
    static CServerConfiguration Read();

    std::string Text(const char* section, const char* key, const char* fallback) const;
    bool Flag(const char* section, const char* key) const;
    // A call log with the configured faults and record file.
    std::shared_ptr<CHostCallLog> MakeLog() const;

    const std::wstring& File() const { return file_; }

private:
    std::wstring file_;
};

// The module's instance and its count of live objects and locks.
HINSTANCE ServerInstance();
void LockServer();
void UnlockServer();

}  // namespace paylode::referencehost
