/*
 * The fault campaign's plan in a named shared memory section (see
 * HostCallPlan.h).
 */
#include "referencehost/HostCallPlan.h"

#include <cctype>
#include <cstdlib>

namespace paylode::referencehost {

namespace {

struct PlanData {
    LONG calls;
    LONG failAt;
    LONG failWith;
    LONG outsideReferences;
};

// The section is made by the first module that asks and stays mapped for the
// life of the process; without one (no memory for it) the module counts on
// its own.
PlanData& Plan() {
    static PlanData* const plan = [] {
        const std::wstring name = L"Local\\TorvoReferenceHost.CallPlan." + std::to_wstring(GetCurrentProcessId());
        const HANDLE section =
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PlanData), name.c_str());
        void* view = section != nullptr ? MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(PlanData)) : nullptr;
        static PlanData own{};
        return view != nullptr ? static_cast<PlanData*>(view) : &own;
    }();
    return *plan;
}

}  // namespace

void CHostCallPlan::Arm(long failAt, HRESULT failWith) {
    PlanData& plan = Plan();
    InterlockedExchange(&plan.failAt, 0);
    InterlockedExchange(&plan.calls, 0);
    InterlockedExchange(&plan.failWith, failWith);
    InterlockedExchange(&plan.failAt, failAt);
}

HRESULT CHostCallPlan::NextCall() {
    PlanData& plan = Plan();
    const LONG number = InterlockedIncrement(&plan.calls);
    return number == plan.failAt ? static_cast<HRESULT>(plan.failWith) : S_OK;
}

long CHostCallPlan::Calls() { return InterlockedCompareExchange(&Plan().calls, 0, 0); }

long CHostCallPlan::OutsideReferences() { return InterlockedCompareExchange(&Plan().outsideReferences, 0, 0); }

void CHostCallPlan::AddOutsideReferences(long change) { InterlockedExchangeAdd(&Plan().outsideReferences, change); }

bool ParseHResult(const std::string& text, HRESULT* result) {
    if (text.empty()) return false;
    char* end = nullptr;
    if (text[0] == '-') {
        const long long value = std::strtoll(text.c_str(), &end, 10);
        if (*end != '\0' || value < -2147483648LL) return false;
        *result = static_cast<HRESULT>(value);
        return true;
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    if (*digits < '0' || *digits > '9') {
        if (!hex || !std::isxdigit(static_cast<unsigned char>(*digits))) return false;
    }
    const unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (*end != '\0' || value > 0xFFFFFFFFull) return false;
    *result = static_cast<HRESULT>(static_cast<unsigned long>(value));
    return true;
}

}  // namespace paylode::referencehost
