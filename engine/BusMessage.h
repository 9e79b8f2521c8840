#pragma once

#include <gst/gst.h>

#include <string>

namespace gstdvd {

// An error or warning message as one line for standard error: the element, GStreamer's text for
// the user and its detail for developers.
std::string describeMessage(GstMessage* message);
// The reason, with what to install when the DVD source says the disc may be encrypted and the
// library that reads encrypted discs is not there (Debian cannot ship it).
std::string withDecryptionHint(const std::string& reason);
// Why a disc whose sound and pictures come out of the reader still scrambled cannot play, and
// what would make it play.
std::string scrambledReason();
// Whether libdvdcss, which libdvdread loads by itself when present, can be loaded.
bool decryptionAvailable();

}  // namespace gstdvd
