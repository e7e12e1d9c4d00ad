#pragma once
// Bounded random access to the bytes of one file. Parsers of outside bytes
// read only through this: every read names its offset and length, returns
// only what was really read, and counts it (the benchmark reports bytes read
// per file).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace qlx::io {

class FileSource {
public:
    virtual ~FileSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads up to `length` bytes at `offset` into `out`, which is resized to
    // what was read (fewer at the end of the file, none past it). False when
    // the read fails or the offset lies past the end.
    virtual bool readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out) = 0;
    std::uint64_t bytesRead() const { return m_bytesRead; }

protected:
    void countRead(std::size_t n) { m_bytesRead += n; }

private:
    std::uint64_t m_bytesRead = 0;
};

// A file opened for reading (shared: other programs may read and write it).
class PosixFileSource final : public FileSource {
public:
    explicit PosixFileSource(const std::filesystem::path& path);
    PosixFileSource(const PosixFileSource&) = delete;
    PosixFileSource& operator=(const PosixFileSource&) = delete;
    ~PosixFileSource() override;
    bool isOpen() const { return m_fd >= 0; }
    std::uint64_t size() const override { return m_size; }
    bool readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out) override;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

// Bytes already in memory (fuzzing, tests).
class MemorySource final : public FileSource {
public:
    explicit MemorySource(std::span<const std::byte> bytes) : m_bytes(bytes) {}
    std::uint64_t size() const override { return m_bytes.size(); }
    bool readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out) override;

private:
    std::span<const std::byte> m_bytes;
};

} // namespace qlx::io
