// anglepatch: turns runs of consecutive cells of a DVD-Video title PGC into non-seamless angle
// blocks, for test discs made with dvdauthor (which writes only plain cells).
//
//   anglepatch VIDEO_TS_DIR VTS PGC FIRST_CELL BLOCKS ANGLES
//
//   VIDEO_TS_DIR  folder holding VIDEO_TS.IFO/.BUP and VTS_<vts>_0.IFO/.BUP (and the VOBs)
//   VTS           title set number, 1..99
//   PGC           number of the title PGC in that title set's VTS_PGCIT, from 1
//   FIRST_CELL    first cell of the first block, from 1
//   BLOCKS        number of angle blocks, from 1
//   ANGLES        angles in each block, 2..9
//
// Cells FIRST_CELL .. FIRST_CELL + BLOCKS*ANGLES - 1 must be laid out block by block (angle 1, 2, ..
// of block 1, then of block 2, ...). Each group of ANGLES cells becomes an angle block: block type
// angle, mode first / in block / last, seamless play, interleaving and seamless angle change off,
// STC discontinuity on (the angle cells are not contiguous in the stream with what plays before
// them), also on the cell right after the last block. The PGC's playback time becomes the sum of
// its plain cells plus one angle of each block. In VIDEO_TS.IFO/.BUP every title (TT_SRPT entry)
// that plays the PGC gets nr_of_angles = ANGLES. VTS_PTT_SRPT and VTSI_MAT hold no angle count, so
// nothing else in the VTS changes.
//
// The NAV packets are left alone: their non-seamless angle destinations (PCI NSML_AGLI) and
// seamless ones (DSI SML_AGLI) must all be zero, which makes a navigator stay in the cell it plays
// and take the new angle when it enters the next block through the cell table (libdvdnav's
// play_Cell adds AGL_REG - 1 to the first cell of a block). A non-zero destination would make it
// jump in mid-cell to an address written for some other layout, so such input is refused.
//
// Nothing is written unless every table read is in range and consistent: the four patched files
// are written beside the originals, read back through libdvdread (the IFO set and the BUP set each
// on its own, so that libdvdread cannot fall back from a bad IFO to its BUP), and only then renamed
// over the originals. Exit status 0 on success, 1 on a refusal or failure, 2 on bad usage.

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
#include <dvdread/nav_read.h>
#include <dvdread/nav_types.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t kSector = 2048;

// Offsets into VMGI_MAT / VTSI_MAT (dvdread/ifo_types.h: vmgi_mat_t, vtsi_mat_t).
constexpr size_t kMatLastSector = 0x1C;       // vmgi_last_sector / vtsi_last_sector
constexpr size_t kVmgNrOfTitleSets = 0x3E;    // vmg_nr_of_title_sets
constexpr size_t kVmgTtSrpt = 0xC4;           // tt_srpt, sector
constexpr size_t kVtsPttSrpt = 0xC8;          // vts_ptt_srpt, sector
constexpr size_t kVtsPgcit = 0xCC;            // vts_pgcit, sector

// Within a PGC (pgc_t).
constexpr size_t kPgcNrOfPrograms = 0x02;
constexpr size_t kPgcNrOfCells = 0x03;
constexpr size_t kPgcPlaybackTime = 0x04;
constexpr size_t kPgcProgramMapOffset = 0xE6;
constexpr size_t kPgcCellPlaybackOffset = 0xE8;
constexpr size_t kPgcCellPositionOffset = 0xEA;
constexpr size_t kPgcSize = 236;  // PGC_SIZE

// One cell_playback_t is 24 bytes; its first byte holds, from the top bit down: block mode (2),
// block type (2), seamless play, interleaved, STC discontinuity, seamless angle change.
constexpr size_t kCellPlaybackSize = 24;
constexpr size_t kCellPositionSize = 4;
constexpr uint8_t kSeamlessPlay = 0x08;
constexpr uint8_t kInterleaved = 0x04;
constexpr uint8_t kStcDiscontinuity = 0x02;
constexpr uint8_t kSeamlessAngle = 0x01;
constexpr uint8_t kBlockTypeAngle = 0x10;

// A TT_SRPT entry (title_info_t) is 12 bytes.
constexpr size_t kTitleInfoSize = 12;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string hex(size_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%zx", v);
    return buf;
}

// An IFO file held in memory; every read is range checked so a short or corrupt file is refused
// instead of read past its end.
class Ifo {
public:
    Ifo(fs::path path, std::vector<uint8_t> bytes) : path_(std::move(path)), bytes_(std::move(bytes)) {}

    const fs::path &path() const { return path_; }
    const std::vector<uint8_t> &bytes() const { return bytes_; }
    size_t size() const { return bytes_.size(); }

    void need(size_t off, size_t len, const std::string &what) const
    {
        if (off > bytes_.size() || len > bytes_.size() - off)
            fail(what + " at " + hex(off) + " (+" + std::to_string(len) + " bytes) lies past the end of the file ("
                 + std::to_string(bytes_.size()) + " bytes)");
    }
    uint8_t u8(size_t off, const std::string &what) const
    {
        need(off, 1, what);
        return bytes_[off];
    }
    uint16_t u16(size_t off, const std::string &what) const
    {
        need(off, 2, what);
        return uint16_t(bytes_[off] << 8 | bytes_[off + 1]);
    }
    uint32_t u32(size_t off, const std::string &what) const
    {
        need(off, 4, what);
        return uint32_t(bytes_[off]) << 24 | uint32_t(bytes_[off + 1]) << 16 | uint32_t(bytes_[off + 2]) << 8
               | bytes_[off + 3];
    }
    void put8(size_t off, uint8_t v)
    {
        need(off, 1, "write");
        bytes_[off] = v;
    }

    // A table that the MAT locates by sector number: it must lie inside the IFO and not on the MAT.
    size_t table(size_t matField, const std::string &what) const
    {
        const uint32_t sector = u32(matField, what + " pointer");
        if (sector == 0)
            fail("has no " + what + " (its sector pointer is 0)");
        const size_t off = size_t(sector) * kSector;
        if (off >= bytes_.size())
            fail(what + " pointer (sector " + std::to_string(sector) + ") lies past the end of the file");
        return off;
    }

    [[noreturn]] void fail(const std::string &msg) const { throw Failure(path_.string() + ": " + msg); }

private:
    fs::path path_;
    std::vector<uint8_t> bytes_;
};

Ifo load(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure(path.string() + ": cannot open: " + std::strerror(errno));
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw Failure(path.string() + ": read error");
    return Ifo(path, std::move(bytes));
}

void checkMat(const Ifo &f, const char *identifier)
{
    if (f.size() < kSector || f.size() % kSector != 0)
        f.fail("size " + std::to_string(f.size()) + " is not a whole number of 2048-byte sectors");
    f.need(0, 12, "identifier");
    if (std::memcmp(f.bytes().data(), identifier, 12) != 0)
        f.fail(std::string("does not start with ") + identifier);
    const uint32_t last = f.u32(kMatLastSector, "last sector");
    if ((size_t(last) + 1) * kSector > f.size())
        f.fail("says it ends at sector " + std::to_string(last) + " but the file holds only "
               + std::to_string(f.size() / kSector) + " sectors");
}

// DVD times are BCD with the frame rate in the top two bits of the frame byte (1: 25, 3: 30 fps).
struct Time {
    int rateCode;
    long frames;
};

int bcd(uint8_t v, bool &ok)
{
    if ((v >> 4) > 9 || (v & 15) > 9)
        ok = false;
    return (v >> 4) * 10 + (v & 15);
}

Time readTime(const Ifo &f, size_t off, const std::string &what)
{
    bool ok = true;
    const int h = bcd(f.u8(off, what), ok), m = bcd(f.u8(off + 1, what), ok), s = bcd(f.u8(off + 2, what), ok);
    const uint8_t fu = f.u8(off + 3, what);
    const int code = fu >> 6;
    const int fr = bcd(fu & 0x3F, ok);
    if (!ok || m > 59 || s > 59)
        f.fail(what + " is not a valid BCD time");
    if (code != 1 && code != 3)
        f.fail(what + " has frame rate code " + std::to_string(code) + " (neither 25 nor 30 fps)");
    const int fps = code == 1 ? 25 : 30;
    if (fr >= fps)
        f.fail(what + " has frame " + std::to_string(fr) + " at " + std::to_string(fps) + " fps");
    return {code, ((long(h) * 60 + m) * 60 + s) * fps + fr};
}

void writeTime(Ifo &f, size_t off, Time t)
{
    const int fps = t.rateCode == 1 ? 25 : 30;
    const long secs = t.frames / fps;
    const int fr = int(t.frames % fps);
    if (secs / 3600 > 99)
        f.fail("playback time over 99 hours");
    auto toBcd = [](long v) { return uint8_t((v / 10) << 4 | (v % 10)); };
    f.put8(off, toBcd(secs / 3600));
    f.put8(off + 1, toBcd(secs / 60 % 60));
    f.put8(off + 2, toBcd(secs % 60));
    f.put8(off + 3, uint8_t(t.rateCode << 6 | toBcd(fr)));
}

struct Request {
    fs::path dir;
    int vts, pgc, firstCell, blocks, angles;
    int lastCell() const { return firstCell + blocks * angles - 1; }
};

// Where an angle cell's data lies, for the NAV packet checks.
struct CellPlace {
    int cell;
    uint32_t firstSector, lastVobuStart, lastSector;
    uint16_t vobId;
    uint8_t cellId;
};

struct VtsResult {
    std::set<int> vtsTitles;  // VTS_TTNs whose chapters play the PGC
    std::vector<CellPlace> angleCells;
    Time playbackTime;
};

VtsResult patchVts(Ifo &f, const Request &r)
{
    checkMat(f, "DVDVIDEO-VTS");

    const size_t pgcit = f.table(kVtsPgcit, "VTS_PGCIT");
    const uint16_t nrPgcs = f.u16(pgcit, "VTS_PGCIT count");
    const size_t pgcitEnd = pgcit + size_t(f.u32(pgcit + 4, "VTS_PGCIT last byte")) + 1;
    f.need(pgcit, pgcitEnd - pgcit, "VTS_PGCIT");
    f.need(pgcit, 8 + size_t(nrPgcs) * 8, "VTS_PGCIT search pointers");
    if (8 + size_t(nrPgcs) * 8 > pgcitEnd - pgcit)
        f.fail("VTS_PGCIT is shorter than its " + std::to_string(nrPgcs) + " search pointers");
    if (r.pgc > nrPgcs)
        f.fail("PGC " + std::to_string(r.pgc) + " does not exist: the title set has " + std::to_string(nrPgcs)
               + " title PGCs");

    const size_t srp = pgcit + 8 + size_t(r.pgc - 1) * 8;
    const size_t pgc = pgcit + f.u32(srp + 4, "PGC start byte");
    if (pgc < pgcit + 8 || pgc + kPgcSize > pgcitEnd)
        f.fail("PGC " + std::to_string(r.pgc) + " (at " + hex(pgc) + ") does not lie inside VTS_PGCIT");

    const int nrCells = f.u8(pgc + kPgcNrOfCells, "PGC cell count");
    const int nrPrograms = f.u8(pgc + kPgcNrOfPrograms, "PGC program count");
    if (r.lastCell() > nrCells)
        f.fail("cells " + std::to_string(r.firstCell) + ".." + std::to_string(r.lastCell()) + " asked for, but PGC "
               + std::to_string(r.pgc) + " has " + std::to_string(nrCells) + " cells");
    const uint16_t cpOff = f.u16(pgc + kPgcCellPlaybackOffset, "cell playback offset");
    const uint16_t posOff = f.u16(pgc + kPgcCellPositionOffset, "cell position offset");
    const uint16_t pmOff = f.u16(pgc + kPgcProgramMapOffset, "program map offset");
    if (cpOff == 0 || posOff == 0 || pmOff == 0)
        f.fail("PGC " + std::to_string(r.pgc) + " lacks a cell playback, cell position or program map table");
    const size_t cp = pgc + cpOff, pos = pgc + posOff, pm = pgc + pmOff;
    if (cp + size_t(nrCells) * kCellPlaybackSize > pgcitEnd || pos + size_t(nrCells) * kCellPositionSize > pgcitEnd
        || pm + size_t(nrPrograms) > pgcitEnd)
        f.fail("a table of PGC " + std::to_string(r.pgc) + " runs past the end of VTS_PGCIT");

    // A program (chapter) may start at a block's first cell but never on another angle of it:
    // entering there would play one angle's cell as if it began the block.
    int previousEntry = 0;
    for (int p = 0; p < nrPrograms; ++p) {
        const int entry = f.u8(pm + size_t(p), "program map");
        if (entry <= previousEntry || entry > nrCells)
            f.fail("program map entry " + std::to_string(p + 1) + " (cell " + std::to_string(entry)
                   + ") is out of order or out of range");
        previousEntry = entry;
        if (entry >= r.firstCell && entry <= r.lastCell() && (entry - r.firstCell) % r.angles != 0)
            f.fail("program " + std::to_string(p + 1) + " starts at cell " + std::to_string(entry)
                   + ", which would be inside an angle block");
    }

    auto cellByte = [&](int cell) { return cp + size_t(cell - 1) * kCellPlaybackSize; };
    for (int c = r.firstCell; c <= r.lastCell(); ++c) {
        const uint8_t flags = f.u8(cellByte(c), "cell flags");
        if (flags & 0xF0)
            f.fail("cell " + std::to_string(c) + " is already in a block");
        if (flags & kInterleaved)
            f.fail("cell " + std::to_string(c) + " is interleaved; only contiguous cells can become non-seamless angles");
    }

    VtsResult result;
    std::vector<Time> cellTimes;
    for (int c = 1; c <= nrCells; ++c) {
        cellTimes.push_back(readTime(f, cellByte(c) + 4, "cell " + std::to_string(c) + " playback time"));
        if (cellTimes.back().rateCode != cellTimes.front().rateCode)
            f.fail("cells of PGC " + std::to_string(r.pgc) + " mix frame rates");
    }
    for (int c = r.firstCell; c <= r.lastCell(); ++c) {
        const size_t b = cellByte(c);
        CellPlace place{c, f.u32(b + 8, "first sector"), f.u32(b + 16, "last VOBU start"), f.u32(b + 20, "last sector"),
                        f.u16(pos + size_t(c - 1) * kCellPositionSize, "cell VOB id"),
                        f.u8(pos + size_t(c - 1) * kCellPositionSize + 3, "cell id")};
        if (place.firstSector > place.lastVobuStart || place.lastVobuStart > place.lastSector)
            f.fail("cell " + std::to_string(c) + " has its sectors out of order");
        result.angleCells.push_back(place);
    }

    // The played length counts one angle of each block; a navigator's time display and time
    // search assume the angles of a block last equally long, so unequal ones are refused.
    long frames = 0;
    for (int c = 1; c <= nrCells; ++c) {
        const bool inRange = c >= r.firstCell && c <= r.lastCell();
        if (!inRange) {
            frames += cellTimes[size_t(c - 1)].frames;
            continue;
        }
        const int first = r.firstCell + (c - r.firstCell) / r.angles * r.angles;
        if (cellTimes[size_t(c - 1)].frames != cellTimes[size_t(first - 1)].frames)
            f.fail("cell " + std::to_string(c) + " is not as long as cell " + std::to_string(first)
                   + ", the first angle of its block");
        if (c == first)
            frames += cellTimes[size_t(c - 1)].frames;
    }
    result.playbackTime = {cellTimes.front().rateCode, frames};

    for (int c = r.firstCell; c <= r.lastCell(); ++c) {
        const int index = (c - r.firstCell) % r.angles;
        const uint8_t mode = index == 0 ? BLOCK_MODE_FIRST_CELL
                             : index == r.angles - 1 ? BLOCK_MODE_LAST_CELL
                                                     : BLOCK_MODE_IN_BLOCK;
        uint8_t flags = f.u8(cellByte(c), "cell flags");
        flags &= uint8_t(~(kSeamlessPlay | kInterleaved | kSeamlessAngle));
        flags |= uint8_t(mode << 6) | kBlockTypeAngle | kStcDiscontinuity;
        f.put8(cellByte(c), flags);
    }
    // Whatever angle played last, the next cell does not follow on from it in the stream.
    if (r.lastCell() < nrCells) {
        const size_t b = cellByte(r.lastCell() + 1);
        f.put8(b, uint8_t((f.u8(b, "cell flags") & ~kSeamlessPlay) | kStcDiscontinuity));
    }
    writeTime(f, pgc + kPgcPlaybackTime, result.playbackTime);

    // The VMG lists titles by VTS title number; the titles that play this PGC are those whose
    // chapters (VTS_PTT_SRPT) point into it.
    const size_t ptt = f.table(kVtsPttSrpt, "VTS_PTT_SRPT");
    const uint16_t nrTitles = f.u16(ptt, "VTS_PTT_SRPT count");
    const size_t pttEnd = ptt + size_t(f.u32(ptt + 4, "VTS_PTT_SRPT last byte")) + 1;
    f.need(ptt, pttEnd - ptt, "VTS_PTT_SRPT");
    if (nrTitles == 0 || 8 + size_t(nrTitles) * 4 > pttEnd - ptt)
        f.fail("VTS_PTT_SRPT is empty or shorter than its title offsets");
    for (int t = 0; t < nrTitles; ++t) {
        const size_t start = ptt + f.u32(ptt + 8 + size_t(t) * 4, "title offset");
        const size_t end = t + 1 < nrTitles ? ptt + f.u32(ptt + 8 + size_t(t + 1) * 4, "title offset") : pttEnd;
        if (start < ptt + 8 + size_t(nrTitles) * 4 || end > pttEnd || start > end || (end - start) % 4 != 0)
            f.fail("VTS_PTT_SRPT entry of VTS title " + std::to_string(t + 1) + " is out of range");
        for (size_t e = start; e < end; e += 4) {
            if (f.u16(e, "chapter PGC") == r.pgc)
                result.vtsTitles.insert(t + 1);
        }
    }
    if (result.vtsTitles.empty())
        f.fail("no title of the title set has a chapter in PGC " + std::to_string(r.pgc));
    return result;
}

std::vector<int> patchVmg(Ifo &f, const Request &r, const std::set<int> &vtsTitles)
{
    checkMat(f, "DVDVIDEO-VMG");
    if (r.vts > f.u16(kVmgNrOfTitleSets, "title set count"))
        f.fail("has no title set " + std::to_string(r.vts));
    const size_t tt = f.table(kVmgTtSrpt, "TT_SRPT");
    const uint16_t nrTitles = f.u16(tt, "TT_SRPT count");
    const size_t ttEnd = tt + size_t(f.u32(tt + 4, "TT_SRPT last byte")) + 1;
    f.need(tt, ttEnd - tt, "TT_SRPT");
    if (8 + size_t(nrTitles) * kTitleInfoSize > ttEnd - tt)
        f.fail("TT_SRPT is shorter than its " + std::to_string(nrTitles) + " entries");

    std::vector<int> titles;
    std::set<int> found;
    for (int t = 0; t < nrTitles; ++t) {
        const size_t e = tt + 8 + size_t(t) * kTitleInfoSize;
        if (f.u8(e + 6, "title set number") != r.vts || !vtsTitles.count(f.u8(e + 7, "VTS title number")))
            continue;
        const uint8_t have = f.u8(e + 1, "angle count");
        // A title already counted with other angles plays some other angle layout as well.
        if (have != 1 && have != r.angles)
            f.fail("title " + std::to_string(t + 1) + " already has " + std::to_string(have) + " angles");
        f.put8(e + 1, uint8_t(r.angles));
        titles.push_back(t + 1);
        found.insert(f.u8(e + 7, "VTS title number"));
    }
    if (found != vtsTitles)
        f.fail("TT_SRPT does not list every title of title set " + std::to_string(r.vts) + " that plays PGC "
               + std::to_string(r.pgc));
    return titles;
}

struct DvdCloser {
    void operator()(dvd_reader_t *d) const { DVDClose(d); }
};
struct FileCloser {
    void operator()(dvd_file_t *f) const { DVDCloseFile(f); }
};
struct IfoCloser {
    void operator()(ifo_handle_t *i) const { ifoClose(i); }
};
using Dvd = std::unique_ptr<dvd_reader_t, DvdCloser>;

// libdvdread's own messages (a banner about CSS, "couldn't find device name" for a folder) are
// noise when all goes well; they are kept and shown only with a failure to open.
std::string dvdreadLog;

void keepLog(void *, dvd_logger_level_t, const char *format, va_list args)
{
    char line[512];
    std::vsnprintf(line, sizeof line, format, args);
    dvdreadLog += line;
    dvdreadLog += '\n';
}

Dvd openDisc(const fs::path &dir)
{
    static const dvd_logger_cb logger{keepLog};
    dvdreadLog.clear();
    Dvd dvd(DVDOpen2(nullptr, &logger, dir.string().c_str()));
    if (!dvd)
        throw Failure(dir.string() + ": libdvdread cannot open the disc:\n" + dvdreadLog);
    return dvd;
}

// Walks the VOBUs of every angle cell through their NAV packets.
void checkNavPackets(const Request &r, const std::vector<CellPlace> &cells)
{
    Dvd dvd = openDisc(r.dir);
    std::unique_ptr<dvd_file_t, FileCloser> vobs(DVDOpenFile(dvd.get(), r.vts, DVD_READ_TITLE_VOBS));
    if (!vobs)
        throw Failure(r.dir.string() + ": cannot open the title VOBs of title set " + std::to_string(r.vts));
    const ssize_t blocks = DVDFileSize(vobs.get());

    std::vector<unsigned char> buf(kSector);
    for (const CellPlace &c : cells) {
        const std::string cell = "cell " + std::to_string(c.cell) + ": ";
        if (blocks < 0 || c.lastSector >= uint64_t(blocks))
            throw Failure(cell + "its sectors lie past the end of the title VOBs");
        uint32_t at = c.firstSector;
        for (;;) {
            if (DVDReadBlocks(vobs.get(), int(at), 1, buf.data()) != 1)
                throw Failure(cell + "cannot read sector " + std::to_string(at));
            static const unsigned char navStream[4] = {0, 0, 1, 0xBF};
            if (std::memcmp(&buf[0x26], navStream, 4) != 0 || buf[0x2C] != 0x00
                || std::memcmp(&buf[0x400], navStream, 4) != 0 || buf[0x406] != 0x01)
                throw Failure(cell + "sector " + std::to_string(at) + " is not a NAV packet");
            pci_t pci;
            dsi_t dsi;
            navRead_PCI(&pci, &buf[0x2D]);
            navRead_DSI(&dsi, &buf[DSI_START_BYTE]);
            if (dsi.dsi_gi.vobu_vob_idn != c.vobId || dsi.dsi_gi.vobu_c_idn != c.cellId)
                throw Failure(cell + "the VOBU at sector " + std::to_string(at) + " belongs to another cell");
            for (int a = 0; a < 9; ++a) {
                if (pci.nsml_agli.nsml_agl_dsta[a] != 0 || dsi.sml_agli.data[a].address != 0)
                    throw Failure(cell + "the VOBU at sector " + std::to_string(at)
                                  + " already carries angle destinations");
            }
            const uint32_t next = dsi.vobu_sri.next_vobu & 0x3FFFFFFF;
            if (at == c.lastVobuStart) {
                // Without the end-of-cell mark a navigator would read on into the next angle.
                if (next != SRI_END_OF_CELL)
                    throw Failure(cell + "its last VOBU does not mark the end of the cell");
                break;
            }
            if (next == SRI_END_OF_CELL || next == 0 || at + next > c.lastVobuStart)
                throw Failure(cell + "the VOBU chain from sector " + std::to_string(at)
                              + " does not reach the cell's last VOBU");
            at += next;
        }
    }
}

// Reads the patched files back the way a navigator does. The folder given holds VIDEO_TS.IFO and
// VTS_<vts>_0.IFO (and no BUPs to fall back on).
void checkWithLibdvdread(const fs::path &disc, const Request &r, const VtsResult &vts,
                         const std::vector<int> &titles, const std::string &label)
{
    const std::string where = label + " read back through libdvdread: ";
    Dvd dvd = openDisc(disc);
    std::unique_ptr<ifo_handle_t, IfoCloser> vmg(ifoOpen(dvd.get(), 0));
    if (!vmg || !vmg->tt_srpt)
        throw Failure(where + "VIDEO_TS.IFO does not read");
    for (int t : titles) {
        if (t > vmg->tt_srpt->nr_of_srpts || vmg->tt_srpt->title[t - 1].nr_of_angles != r.angles)
            throw Failure(where + "title " + std::to_string(t) + " does not report " + std::to_string(r.angles)
                          + " angles");
    }
    std::unique_ptr<ifo_handle_t, IfoCloser> ifo(ifoOpen(dvd.get(), r.vts));
    if (!ifo || !ifo->vts_pgcit || r.pgc > ifo->vts_pgcit->nr_of_pgci_srp)
        throw Failure(where + "the title set's IFO does not read");
    const pgc_t *pgc = ifo->vts_pgcit->pgci_srp[r.pgc - 1].pgc;
    if (!pgc || !pgc->cell_playback || pgc->nr_of_cells < r.lastCell())
        throw Failure(where + "PGC " + std::to_string(r.pgc) + " lost its cells");
    for (int c = r.firstCell; c <= r.lastCell(); ++c) {
        const cell_playback_t &cell = pgc->cell_playback[c - 1];
        const int index = (c - r.firstCell) % r.angles;
        const unsigned mode = index == 0 ? BLOCK_MODE_FIRST_CELL
                              : index == r.angles - 1 ? BLOCK_MODE_LAST_CELL
                                                      : BLOCK_MODE_IN_BLOCK;
        if (cell.block_type != BLOCK_TYPE_ANGLE_BLOCK || cell.block_mode != mode || cell.seamless_play
            || cell.interleaved || cell.seamless_angle || !cell.stc_discontinuity)
            throw Failure(where + "cell " + std::to_string(c) + " does not read as angle " + std::to_string(index + 1)
                          + " of a non-seamless angle block");
    }
    if (r.lastCell() < pgc->nr_of_cells && pgc->cell_playback[r.lastCell()].block_mode != BLOCK_MODE_NOT_IN_BLOCK)
        throw Failure(where + "the cell after the last block reads as part of a block");
    const Time want = vts.playbackTime;
    const int fps = want.rateCode == 1 ? 25 : 30;
    auto fromBcd = [](uint8_t v) { return (v >> 4) * 10 + (v & 15); };
    const dvd_time_t &got = pgc->playback_time;
    const long gotFrames = ((long(fromBcd(got.hour)) * 60 + fromBcd(got.minute)) * 60 + fromBcd(got.second)) * fps
                           + fromBcd(got.frame_u & 0x3F);
    if (gotFrames != want.frames || (got.frame_u >> 6) != want.rateCode)
        throw Failure(where + "the PGC playback time reads " + std::to_string(gotFrames) + " frames, not "
                      + std::to_string(want.frames));
}

void writeFile(const fs::path &path, const std::vector<uint8_t> &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw Failure(path.string() + ": cannot create: " + std::strerror(errno));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int e = errno;
            ::close(fd);
            throw Failure(path.string() + ": write failed: " + std::strerror(e));
        }
        done += size_t(n);
    }
    // The rename must not land before the data it names.
    if (::fsync(fd) != 0 || ::close(fd) != 0)
        throw Failure(path.string() + ": cannot flush: " + std::strerror(errno));
}

// Lays out a disc folder of symbolic links: the given IFOs under their IFO names, the VOBs beside.
void linkDisc(const fs::path &root, const fs::path &vmgIfo, const fs::path &vtsIfo, const fs::path &videoTs,
              const std::string &vtsIfoName)
{
    const fs::path dir = root / "VIDEO_TS";
    fs::create_directories(dir);
    fs::create_symlink(fs::absolute(vmgIfo), dir / "VIDEO_TS.IFO");
    fs::create_symlink(fs::absolute(vtsIfo), dir / vtsIfoName);
    for (const auto &entry : fs::directory_iterator(videoTs)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".VOB") == 0)
            fs::create_symlink(fs::absolute(entry.path()), dir / name);
    }
}

int parseNumber(const char *text, const char *what, int lo, int hi)
{
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi)
        throw std::invalid_argument(std::string(what) + " must be a number from " + std::to_string(lo) + " to "
                                    + std::to_string(hi) + ", not \"" + text + "\"");
    return int(v);
}

int run(const Request &r)
{
    char vtsName[16];
    std::snprintf(vtsName, sizeof vtsName, "VTS_%02d_0", r.vts);
    const fs::path vmgIfoPath = r.dir / "VIDEO_TS.IFO", vmgBupPath = r.dir / "VIDEO_TS.BUP";
    const fs::path vtsIfoPath = r.dir / (std::string(vtsName) + ".IFO");
    const fs::path vtsBupPath = r.dir / (std::string(vtsName) + ".BUP");

    Ifo vtsIfo = load(vtsIfoPath), vtsBup = load(vtsBupPath), vmgIfo = load(vmgIfoPath), vmgBup = load(vmgBupPath);
    const VtsResult fromIfo = patchVts(vtsIfo, r);
    const VtsResult fromBup = patchVts(vtsBup, r);
    if (fromIfo.vtsTitles != fromBup.vtsTitles)
        throw Failure(vtsBupPath.string() + ": lists other titles for PGC " + std::to_string(r.pgc) + " than the IFO");
    const std::vector<int> titles = patchVmg(vmgIfo, r, fromIfo.vtsTitles);
    if (patchVmg(vmgBup, r, fromIfo.vtsTitles) != titles)
        throw Failure(vmgBupPath.string() + ": lists other titles than the IFO");
    checkNavPackets(r, fromIfo.angleCells);

    std::vector<std::pair<Ifo *, fs::path>> staged;
    for (Ifo *f : {&vtsIfo, &vtsBup, &vmgIfo, &vmgBup})
        staged.emplace_back(f, fs::path(f->path().string() + ".anglepatch-new"));
    const fs::path scratch = r.dir / ".anglepatch-check";
    auto discard = [&] {
        std::error_code ignored;
        for (auto &s : staged)
            fs::remove(s.second, ignored);
        fs::remove_all(scratch, ignored);
    };
    try {
        for (auto &s : staged)
            writeFile(s.second, s.first->bytes());
        fs::remove_all(scratch);
        linkDisc(scratch / "ifo", staged[2].second, staged[0].second, r.dir, vtsIfoPath.filename().string());
        linkDisc(scratch / "bup", staged[3].second, staged[1].second, r.dir, vtsIfoPath.filename().string());
        checkWithLibdvdread(scratch / "ifo", r, fromIfo, titles, "the IFO files");
        checkWithLibdvdread(scratch / "bup", r, fromBup, titles, "the BUP files");
        fs::remove_all(scratch);
        for (auto &s : staged)
            fs::rename(s.second, s.first->path());
    } catch (...) {
        discard();
        throw;
    }

    std::string list;
    for (int t : titles)
        list += (list.empty() ? "" : ", ") + std::to_string(t);
    std::printf("anglepatch: title set %d PGC %d: cells %d..%d are now %d angle blocks of %d angles; title %s "
                "reports %d angles\n",
                r.vts, r.pgc, r.firstCell, r.lastCell(), r.blocks, r.angles, list.c_str(), r.angles);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 7) {
        std::fprintf(stderr,
                     "usage: %s VIDEO_TS_DIR VTS PGC FIRST_CELL BLOCKS ANGLES\n"
                     "Turns cells FIRST_CELL.. of title PGC PGC in title set VTS into BLOCKS non-seamless angle\n"
                     "blocks of ANGLES cells each (laid out block by block) and sets the title's angle count.\n",
                     argv[0]);
        return 2;
    }
    Request r;
    try {
        r.dir = argv[1];
        r.vts = parseNumber(argv[2], "VTS", 1, 99);
        r.pgc = parseNumber(argv[3], "PGC", 1, 32767);
        r.firstCell = parseNumber(argv[4], "FIRST_CELL", 1, 255);
        r.blocks = parseNumber(argv[5], "BLOCKS", 1, 255);
        r.angles = parseNumber(argv[6], "ANGLES", 2, 9);
        if (r.lastCell() > 255)
            throw std::invalid_argument("the blocks would end past cell 255, the most a PGC can hold");
    } catch (const std::invalid_argument &e) {
        std::fprintf(stderr, "anglepatch: %s\n", e.what());
        return 2;
    }
    try {
        return run(r);
    } catch (const Failure &e) {
        std::fprintf(stderr, "anglepatch: %s; nothing was changed\n", e.what());
    } catch (const fs::filesystem_error &e) {
        std::fprintf(stderr, "anglepatch: %s; nothing was changed\n", e.what());
    }
    return 1;
}
