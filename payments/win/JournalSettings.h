/*
 * The administrator's settings of the payment journal, in the machine's
 * registry: HKEY_LOCAL_MACHINE\SOFTWARE\Torvo\Kelmar Bank Paylode, read
 * from the 64-bit view by both bitnesses of the component, so that one
 * value serves the 32-bit and the 64-bit host alike. They are not kept in
 * BANKSERV.INI, which every user of the machine may write:
 *
 *   JournalFolder  REG_SZ or REG_EXPAND_SZ  the folder the journal files
 *                  live in (a share that several machines use, say);
 *                  missing or empty: the settings folder, beside BANKSERV.INI
 *   JournalDays    REG_DWORD  how many days back the options dialog looks
 *                  for payments exported before; 0 turns the journal and
 *                  the look-up off; missing: 14
 *
 * Tests stand in front of the registry through the seam.
 */
#pragma once

#include "common/Seam.h"
#include "common/TextConversion.h"

namespace paylode {

constexpr wchar_t kJournalSettingsKey[] = L"SOFTWARE\\Torvo\\Kelmar Bank Paylode";
constexpr wchar_t kJournalFolderValue[] = L"JournalFolder";
constexpr wchar_t kJournalDaysValue[] = L"JournalDays";
constexpr unsigned long kDefaultJournalDays = 14;

struct JournalSettings {
    WideString folder;  // without a trailing backslash; empty when it cannot be worked out
    unsigned long days = kDefaultJournalDays;

    bool JournalOn() const { return days != 0; }
};

// The settings as the registry holds them, with the defaults for what is
// missing or unreadable.
JournalSettings ReadPlatformJournalSettings();

using JournalSettingsSeam = Seam<&ReadPlatformJournalSettings>;
using ScopedJournalSettings = JournalSettingsSeam::Override;

inline JournalSettings ReadJournalSettings() { return JournalSettingsSeam::Call(); }

}  // namespace paylode
