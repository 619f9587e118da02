// Writes a file so that the user's existing file is never lost: the bytes go to a temporary file
// in the same folder, which replaces the target (by rename) only in Commit, after every byte was
// written and flushed to disk. A writer destroyed without Commit removes its temporary file.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace quillon {

class TFileWriter {
public:
    // Throws FileError when the temporary file cannot be created (folder missing, no rights).
    explicit TFileWriter(const std::string& path);
    ~TFileWriter();
    TFileWriter(const TFileWriter&) = delete;
    TFileWriter& operator=(const TFileWriter&) = delete;

    // False once any write has failed; later writes are ignored.
    bool Write(const void* data, uint64_t bytes);
    template <class T> bool WriteRecord(const T& record) {
        static_assert(std::is_trivially_copyable_v<T>);
        return Write(&record, sizeof(T));
    }
    template <class T> bool WriteArray(const std::vector<T>& records) {
        static_assert(std::is_trivially_copyable_v<T>);
        return Write(records.data(), records.size() * sizeof(T));
    }
    // Moves the finished file over the target. False when anything failed; the target is then
    // untouched.
    [[nodiscard]] bool Commit();
    // What failed first, with the system's reason: "cannot write at byte 4096: No space left on
    // device". Empty while nothing has failed.
    const std::string& Failure() const { return FailureText; }

    uint64_t BytesWritten() const { return Written; }

private:
    bool Flush();
    // Records the first failure from errno and returns false.
    bool Failed(const std::string& what);

    std::string Target;
    std::string TempPath;
    int Fd = -1;
    bool Ok = true;
    uint64_t Written = 0;
    uint64_t Flushed = 0; // bytes handed to the system
    std::string FailureText;
    std::vector<char> Buffer;
};

} // namespace quillon
