// Reads a model file by whole blocks at given offsets. Every block is checked against the file's
// size before anything is allocated, so counts and offsets taken from a hostile file can never
// cause a huge allocation or a read past the end: such a read is simply refused (false).
// Blocks may overlap (offsets come from the file), so a small file could still claim the same
// bytes over and over; the total read is therefore limited to a few times the file's size.
// The reader remembers the last block it refused, so that the format reader only has to say
// which record it was reading to give the user the whole reason (see Refusal).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quillon {

class TFileReader {
public:
    // Throws FileError when the file cannot be opened.
    explicit TFileReader(const std::string& path);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    uint64_t Size() const { return FileSize; }
    uint64_t Position() const { return Pos; }
    void Seek(uint64_t offset) { Pos = offset; }
    // Seeks to an offset computed from signed fields of a file; false (recorded like a refused
    // read) for one before the start of the file.
    [[nodiscard]] bool SeekSigned(int64_t offset);
    // True when `count` records of `recordSize` bytes fit between the position and the end, and
    // within what is left of the read budget.
    [[nodiscard]] bool Fits(uint64_t count, uint64_t recordSize);
    // True when `count` records of `recordSize` bytes could fit in the whole file: a bound for a
    // count whose records are read one by one from places found on the way.
    [[nodiscard]] bool FitsInFile(uint64_t count, uint64_t recordSize);
    // True when `count` records of `recordSize` bytes fit in `bytes`, without overflow.
    static bool CountFits(uint64_t count, uint64_t recordSize, uint64_t bytes) {
        return recordSize == 0 || count <= bytes / recordSize;
    }
    static constexpr uint64_t BudgetFactor = 4;

    // Reads at the position and advances it; false (nothing advanced) on a short read.
    [[nodiscard]] bool Read(void* dst, uint64_t bytes);
    template <class T> [[nodiscard]] bool ReadRecord(T& record) {
        static_assert(std::is_trivially_copyable_v<T>);
        return Read(&record, sizeof(T));
    }
    // Sizes `out` to `count` records only after checking that they fit in the file.
    template <class T> [[nodiscard]] bool ReadArray(std::vector<T>& out, uint64_t count) {
        out.clear();
        return AppendArray(out, count);
    }
    // Appends `count` records to `out`, with the same check. A large array is read a piece at a
    // time through a buffer that stays in the cache and appended from there, so that its memory
    // is written once, by the copy, instead of being zero-filled by the resize first.
    template <class T> [[nodiscard]] bool AppendArray(std::vector<T>& out, uint64_t count) {
        static_assert(std::is_trivially_copyable_v<T>);
        if (!Fits(count, sizeof(T)))
            return false;
        const size_t old = out.size();
        out.reserve(old + count);
        if (count * sizeof(T) < LargeArrayBytes) {
            out.resize(old + count);
            return Read(out.data() + old, count * sizeof(T));
        }
        Prefault(out.data() + old, count * sizeof(T));
        std::vector<T> piece(std::max<uint64_t>(1, PieceBytes / sizeof(T)));
        for (uint64_t left = count; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
            if (!Read(piece.data(), n * sizeof(T)))
                return false;
            out.insert(out.end(), piece.begin(), piece.begin() + static_cast<ptrdiff_t>(n));
            left -= n;
        }
        return true;
    }

    // The reason for the last refused Fits, FitsInFile or read, naming `record` as the block
    // that was wanted: "truncated: surface 2 vertices need 16000 bytes at offset 5120, 900
    // remain". Empty when nothing was refused.
    std::string Refusal(std::string_view record) const;
    // "ident is \"IDP2\", expected \"IDP3\"", with bytes outside printable ASCII as \xNN.
    static std::string WrongIdent(std::string_view found, std::string_view expected);

    const std::string& Path() const { return FilePath; }

private:
    // Arrays from this size on are read in pieces of PieceBytes (see AppendArray).
    static constexpr uint64_t LargeArrayBytes = 1 << 20;
    static constexpr uint64_t PieceBytes = 64 << 10;

    // Maps fresh memory in one call: touching a large new array page by page costs more than
    // reading the file into it.
    static void Prefault(void* data, uint64_t bytes);

    enum class TRefusalKind {
        None,
        PastEnd,
        OverBudget,
        LargerThanFile,
        BeforeStart,
        FileShrank,
        ReadError
    };
    struct TRefused {
        TRefusalKind kind = TRefusalKind::None;
        uint64_t offset = 0; // for BeforeStart, the negative offset in two's complement
        uint64_t count = 0;
        uint64_t recordSize = 0;
        uint64_t budget = 0;
        int error = 0; // errno of a failed read
    };
    bool Refuse(TRefusalKind kind, uint64_t count, uint64_t recordSize, int error = 0);

    std::string FilePath;
    int Fd = -1;
    uint64_t FileSize = 0;
    uint64_t Pos = 0;
    uint64_t Budget = 0; // bytes that may still be read
    TRefused Refused;
};

} // namespace quillon
