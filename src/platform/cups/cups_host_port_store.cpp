#include "platform/cups/cups_host_port_store.h"

#include "platform/cups/cups_connection.h"

#include <cups/cups.h>

#include <memory>

#include "printer/device_uri.h"

namespace kestrel {
namespace {

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

std::string PrinterUri(const std::string& queueName) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", queueName.c_str());
    return uri;
}

}  // namespace

std::optional<std::string> QueueDeviceUri(const std::string& queueName) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 PrinterUri(queueName).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "device-uri");
    const IppPtr response(cupsDoRequest(SchedulerConnection(), request, "/"));
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        return std::nullopt;
    }
    ipp_attribute_t* attr = ippFindAttribute(response.get(), "device-uri", IPP_TAG_URI);
    const char* uri = attr ? ippGetString(attr, 0, nullptr) : nullptr;
    if (uri == nullptr) {
        return std::nullopt;
    }
    return std::string(uri);
}

std::optional<std::string> CupsHostPortStore::readSerialLineValue(const PrinterEntry& entry) {
    const auto uri = QueueDeviceUri(entry.printerName);
    if (!uri) {
        return std::nullopt;
    }
    return SerialLineValueFromDeviceUri(*uri);
}

bool CupsHostPortStore::writeSerialLineValue(const PrinterEntry& entry, std::string_view value) {
    const auto uri = QueueDeviceUri(entry.printerName);
    if (!uri) {
        return false;
    }
    const auto updated = DeviceUriWithSerialLineValue(*uri, value);
    if (!updated) {
        return false;
    }
    if (*updated == *uri) {
        return true;
    }
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 PrinterUri(entry.printerName).c_str());
    ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, updated->c_str());
    const IppPtr response(cupsDoRequest(SchedulerConnection(), request, "/admin/"));
    return response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

std::string CupsHostPortStore::refusalAdvice() const {
    return "Changing a print queue needs the rights of a printer administrator: add your user "
           "to the lpadmin group (sudo usermod -aG lpadmin $USER), log in again and send the "
           "settings again.";
}

}  // namespace kestrel
