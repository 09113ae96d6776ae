/*
 * CBankServices: the collection of the bank's services, the payment service
 * at position 0 and the statement service at position 1. Each collection
 * makes its own two services when it is made (by the bank, or by a host
 * creating the class directly) and releases them when it goes.
 *
 * The host fetches a service by position (from 0) or by name, counts the
 * services or enumerates them. For script clients the item operation is the
 * collection's default member and the enumerator its _NewEnum, so that
 * `services(0)` and `For Each` work.
 */
#pragma once

#include "TorvoKelmarBankPaylode.h"
#include "combase/ComPointers.h"
#include "combase/ComponentObject.h"
#include "combase/DispatchBase.h"
#include "common/CArray.h"

namespace paylode {

// The list of services: each element holds one reference on its service.
class CListImpl {
public:
    CListImpl() = default;
    virtual ~CListImpl() = default;
    CListImpl(const CListImpl&) = delete;
    CListImpl& operator=(const CListImpl&) = delete;

    // Appends the service with one more reference; null is E_INVALIDARG.
    void Add(ITorvoBankService* service);
    // Releases the services from the last to the first and frees the slots.
    void RemoveAll() { items_.RemoveAll(); }

    const CArray<ITorvoBankService*>& Items() const { return items_.Items(); }

private:
    CInterfaceArray<ITorvoBankService> items_;
};

class CBankServices : public ISupportErrorInfo,
                      public CDispatchBase<IBankServices>,
                      public CObjectRoot,
                      public CListImpl {
public:
    // ITorvoBankServices
    STDMETHODIMP GetItem(VARIANT* index, ITorvoBankService** item) override;
    STDMETHODIMP GetCount(LONG* count) override;
    STDMETHODIMP GetNewEnum(IUnknown** enumerator) override;

    // ISupportErrorInfo: the collection's own dual interface only.
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // IDispatch, ISupportErrorInfo, IBankServices, ITorvoBankServices;
    // IUnknown is the first.
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    // Makes the services, in order.
    HRESULT FinalConstruct();

protected:
    CBankServices() = default;
    ~CBankServices() override = default;

private:
    // The service that `index` names; E_INVALIDARG when it names none.
    ITorvoBankService* Find(const VARIANT* index) const;

    template <typename Service>
    void AddNew();
};

}  // namespace paylode
