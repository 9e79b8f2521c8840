#pragma once

#include <cstddef>
#include <string>

namespace gstdvd {

// Whether a 2048-byte DVD sector, as the reader handed it over, still holds a scrambled (CSS)
// audio or video packet: libdvdcss clears the flag when it descrambles, so one still set means
// no one could.
bool sectorScrambled(const unsigned char* sector, size_t size);

// Whether the title sets' first sectors, read through libdvdread (which descrambles with
// libdvdcss when that is installed), are still scrambled: such a disc plays only as noise.
bool discScrambled(const std::string& device);

}  // namespace gstdvd
