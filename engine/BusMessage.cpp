#include "engine/BusMessage.h"

#include <gmodule.h>

namespace gstdvd {

std::string describeMessage(GstMessage* message)
{
    GError* err = nullptr;
    gchar* debug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        gst_message_parse_error(message, &err, &debug);
    else
        gst_message_parse_warning(message, &err, &debug);
    std::string text = GST_MESSAGE_SRC_NAME(message) ? GST_MESSAGE_SRC_NAME(message) : "pipeline";
    text += ": ";
    text += err ? err->message : "unknown error";
    if (debug) {
        text += " (";
        text += debug;
        text += ")";
    }
    if (err)
        g_error_free(err);
    g_free(debug);
    return text;
}

bool decryptionAvailable()
{
    for (const char* name : {"libdvdcss.so.2", "libdvdcss.so"}) {
        if (GModule* module = g_module_open(name, G_MODULE_BIND_LAZY)) {
            g_module_close(module);
            return true;
        }
    }
    return false;
}

namespace {

const char* const kInstallHint = "encrypted discs need libdvdcss (libdvdcss2), which Debian does not ship: "
                                 "install the libdvd-pkg package and run 'dpkg-reconfigure libdvd-pkg' to build it";

}  // namespace

std::string withDecryptionHint(const std::string& reason)
{
    if (reason.find("encrypted") == std::string::npos || decryptionAvailable())
        return reason;
    return reason + "; " + kInstallHint;
}

std::string scrambledReason()
{
    if (decryptionAvailable())
        return "the disc is encrypted (CSS) and libdvdcss could not decrypt it: the drive's region "
               "may not match the disc's, or the drive refused to authenticate";
    return std::string("the disc is encrypted (CSS); ") + kInstallHint;
}

}  // namespace gstdvd
