/*
 * `paylode-host services`: the bank's services in collection order, one
 * JSON line each: {"index":0,"name":"Bank Payment Service","status":0}.
 */
#include <iostream>

#include <nlohmann/json.hpp>

#include "common/win/Owners.h"
#include "referencehost/program/HostCommands.h"
#include "referencehost/program/HostToolkit.h"

namespace paylode::hostprogram {
namespace {

using Microsoft::WRL::ComPtr;

void ListServices() {
    CComApartment apartment;
    const ComPtr<ITorvoBankServices> services = CreateBankServices();
    long count = 0;
    ThrowIfFailedCall(services->GetCount(&count), "GetCount");
    for (long index = 0; index < count; ++index) {
        VARIANT position;
        VariantInit(&position);
        V_VT(&position) = VT_I4;
        V_I4(&position) = index;
        ComPtr<ITorvoBankService> service;
        ThrowIfFailedCall(services->GetItem(&position, &service), "GetItem(" + std::to_string(index) + ")");
        if (!service) throw HostFailure{"GetItem(" + std::to_string(index) + ") returned no service"};
        CBstr name;
        ThrowIfFailedCall(service->GetName(name.Receive()), "GetName");
        long status = 0;
        ThrowIfFailedCall(service->GetServiceStatus(&status), "GetServiceStatus");
        nlohmann::ordered_json line;
        line["index"] = index;
        line["name"] = Utf8FromWide({name.Get() != nullptr ? name.Get() : L"", name.Length()}).Bytes();
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

}  // namespace paylode::hostprogram
