#include "engine/Scrambling.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include <vector>

namespace gstdvd {

namespace {

constexpr size_t kSector = 2048;
// Enough to pass the navigation packs and reach the first sound and picture packets.
constexpr int kSectorsLooked = 32;

bool contentStream(unsigned char id)
{
    // Private stream 1 (AC-3, LPCM, DTS, sub-pictures), MPEG audio, MPEG video.
    return id == 0xBD || (id >= 0xC0 && id <= 0xEF);
}

}  // namespace

bool sectorScrambled(const unsigned char* sector, size_t size)
{
    // An MPEG-2 pack header (14 bytes and its stuffing), then the packet: its flags byte holds
    // the scrambling control bits.
    if (size < kSector || sector[0] != 0 || sector[1] != 0 || sector[2] != 1 || sector[3] != 0xBA)
        return false;
    if ((sector[4] & 0xC0) != 0x40)
        return false;
    const size_t packet = 14 + (sector[13] & 0x07);
    if (packet + 7 > size || sector[packet] != 0 || sector[packet + 1] != 0 || sector[packet + 2] != 1)
        return false;
    if (!contentStream(sector[packet + 3]))
        return false;
    return (sector[packet + 6] & 0x30) != 0;
}

Scrambling discScrambling(const std::string& device)
{
    dvd_reader_t* reader = DVDOpen(device.c_str());
    if (!reader)
        return Scrambling::Unreadable;
    int sets = 1;
    if (ifo_handle_t* vmg = ifoOpen(reader, 0)) {
        if (vmg->vmgi_mat)
            sets = vmg->vmgi_mat->vmg_nr_of_title_sets;
        ifoClose(vmg);
    }
    Scrambling found = Scrambling::Clear;
    std::vector<unsigned char> data(kSector * kSectorsLooked);
    for (int set = 1; set <= sets && found == Scrambling::Clear; ++set) {
        dvd_file_t* file = DVDOpenFile(reader, set, DVD_READ_TITLE_VOBS);
        if (!file)
            continue;
        const ssize_t read = DVDReadBlocks(file, 0, kSectorsLooked, data.data());
        if (read <= 0)
            found = Scrambling::Unreadable;
        for (ssize_t i = 0; i < read && found == Scrambling::Clear; ++i) {
            if (sectorScrambled(data.data() + i * kSector, kSector))
                found = Scrambling::Scrambled;
        }
        DVDCloseFile(file);
    }
    DVDClose(reader);
    return found;
}

}  // namespace gstdvd
