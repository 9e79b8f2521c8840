#pragma once

#include <cstddef>
#include <string>

namespace gstdvd {

// Whether a 2048-byte DVD sector, as the reader handed it over, still holds a scrambled (CSS)
// audio or video packet: libdvdcss clears the flag when it descrambles, so one still set means
// no one could.
bool sectorScrambled(const unsigned char* sector, size_t size);

enum class Scrambling {
    Clear,       // the sound and pictures read as they should
    Scrambled,   // still scrambled as read: the disc would play as noise
    Unreadable,  // the reads failed (a drive refusing encrypted sectors to an unauthenticated reader)
};
// How the title sets' first sectors read through libdvdread, which descrambles with libdvdcss
// when that is installed.
Scrambling discScrambling(const std::string& device);

}  // namespace gstdvd
