// Compiled, not run: each factory of COM objects refuses the other's
// classes. Built with REFUSE set to 1 or 2 the compiler must stop at the
// factory's static_assert; without it the file compiles (the right uses).
#include "combase/ComPointers.h"
#include "combase/ComponentObject.h"

namespace paylode {

// A component class: IUnknown is left to the wrappers of CreateInstanceOf.
class CLeavesIUnknown : public IUnknown, public CObjectRoot {
public:
    HRESULT InternalQueryInterface(REFIID, void** object) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
};

// An object the module makes for its own use: no class table row, no
// module lock, no aggregation.
class CForOwnUse : public IUnknown {
public:
    HRESULT InternalQueryInterface(REFIID, void** object) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
};

void Uses() {
    IUnknown* made = nullptr;
#if REFUSE == 1
    MakeComObject<CLeavesIUnknown>();
#elif REFUSE == 2
    CreateInstanceOf<CForOwnUse>(nullptr, IID_IUnknown, reinterpret_cast<void**>(&made));
#else
    MakeComObject<CForOwnUse>();
    CreateInstanceOf<CLeavesIUnknown>(nullptr, IID_IUnknown, reinterpret_cast<void**>(&made));
#endif
    if (made != nullptr) made->Release();
}

}  // namespace paylode
