/*
 * `paylode-host services`: the bank's services in collection order, one
 * JSON line each: {"index":0,"name":"Bank Payment Service","status":0}.
 */
#include <iostream>

#include <nlohmann/json.hpp>

#include "common/win/Owners.h"
#include "referencehost/program/HostProgram.h"

namespace paylode::host {
namespace {

using Microsoft::WRL::ComPtr;

void ListServices() {
    CComApartment apartment;
    const ComPtr<ITorvoBankServices> services = CreateBankServices();
    long count = 0;
    HRESULT result = services->GetCount(&count);
    if (FAILED(result)) throw HostFailure{"GetCount failed: " + DescribeHResult(result)};
    for (long index = 0; index < count; ++index) {
        VARIANT position;
        VariantInit(&position);
        V_VT(&position) = VT_I4;
        V_I4(&position) = index;
        ComPtr<ITorvoBankService> service;
        result = services->GetItem(&position, &service);
        if (FAILED(result) || !service) {
            throw HostFailure{"GetItem(" + std::to_string(index) + ") failed: " + DescribeHResult(result)};
        }
        CBstr name;
        result = service->GetName(name.Receive());
        if (FAILED(result)) throw HostFailure{"GetName failed: " + DescribeHResult(result)};
        long status = 0;
        result = service->GetServiceStatus(&status);
        if (FAILED(result)) throw HostFailure{"GetServiceStatus failed: " + DescribeHResult(result)};
        nlohmann::ordered_json line;
        line["index"] = index;
        line["name"] = Utf8FromWide(name.Get() != nullptr ? name.Get() : L"", name.Length());
        line["status"] = status;
        std::cout << line.dump() << "\n";
    }
}

}  // namespace

void AddServicesCommand(CLI::App& app, Outcome& outcome) {
    CLI::App* command =
        app.add_subcommand("services", "List the bank's services as JSON lines: index, name and status.");
    command->callback([&outcome] {
        ListServices();
        outcome.status = 0;
    });
}

}  // namespace paylode::host
