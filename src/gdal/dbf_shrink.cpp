#include "dbf_shrink.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "core/errors.hpp"
#include "core/io/output_file.hpp"

namespace pelmora::gdal {
namespace {

// The layout of a dBASE III table: a 32-byte header, a 32-byte descriptor
// per column ended by 0x0D, then the records (a deletion flag byte and the
// columns' fixed-width values, text padded with spaces), then 0x1A.
constexpr size_t kHeaderBytes = 32;
constexpr size_t kDescriptorBytes = 32;
constexpr size_t kTypeAt = 11, kWidthAt = 16;
constexpr char kEndOfFile = 0x1A;
// Records are read and written in blocks of about this size.
constexpr size_t kBlockBytes = 1 << 20;

uint32_t Read32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Read16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
void Write16(unsigned char* p, size_t value) {
  p[0] = static_cast<unsigned char>(value & 0xFF);
  p[1] = static_cast<unsigned char>(value >> 8);
}

class DbfFile {
 public:
  DbfFile(const std::string& path, const std::string& name) : name_(name) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) ThrowIoError(errno, name_);
  }
  ~DbfFile() { ::close(fd_); }
  DbfFile(const DbfFile&) = delete;
  DbfFile& operator=(const DbfFile&) = delete;

  // Reads exactly size bytes at offset; false at the end of the file.
  bool ReadAt(void* into, size_t size, off_t offset) {
    auto* bytes = static_cast<char*>(into);
    for (size_t done = 0; done < size;) {
      const ssize_t n = ::pread(fd_, bytes + done, size - done, offset + done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ThrowIoError(errno, name_);
      if (n == 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }
  void ReadExactly(void* into, size_t size, off_t offset) {
    if (!ReadAt(into, size, offset)) ThrowIoError(EIO, name_);
  }
  void WriteAt(const void* from, size_t size, off_t offset) {
    const auto* bytes = static_cast<const char*>(from);
    for (size_t done = 0; done < size;) {
      const ssize_t n = ::pwrite(fd_, bytes + done, size - done, offset + done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ThrowIoError(errno, name_);
      done += static_cast<size_t>(n);
    }
  }
  void Truncate(off_t size) {
    if (::ftruncate(fd_, size) != 0) ThrowIoError(errno, name_);
  }

 private:
  std::string name_;
  int fd_ = -1;
};

// Calls visit(block, records) for every block of whole records.
template <typename Visit>
void ForEachBlock(DbfFile& file, size_t first, size_t records, size_t record_bytes, Visit visit) {
  const size_t per_block = std::max<size_t>(1, kBlockBytes / record_bytes);
  std::vector<char> block(per_block * record_bytes);
  for (size_t done = 0; done < records;) {
    const size_t count = std::min(per_block, records - done);
    file.ReadExactly(block.data(), count * record_bytes,
                     static_cast<off_t>(first + done * record_bytes));
    visit(block.data(), count, done);
    done += count;
  }
}

}  // namespace

void ShrinkDbfTextColumns(const std::string& path, const std::string& display_name,
                          const FinishingStep& step) {
  DbfFile file(path, display_name);
  unsigned char header[kHeaderBytes];
  file.ReadExactly(header, kHeaderBytes, 0);
  const size_t records = Read32(header + 4);
  const size_t header_bytes = Read16(header + 8);
  const size_t record_bytes = Read16(header + 10);
  if (header_bytes < kHeaderBytes + 1 || record_bytes == 0) return;
  const size_t columns = (header_bytes - kHeaderBytes - 1) / kDescriptorBytes;
  std::vector<unsigned char> descriptors(columns * kDescriptorBytes);
  file.ReadExactly(descriptors.data(), descriptors.size(), kHeaderBytes);
  std::vector<size_t> widths(columns), longest(columns, 1);
  size_t total = 1;  // the deletion flag
  for (size_t c = 0; c < columns; ++c) {
    const unsigned char* descriptor = &descriptors[c * kDescriptorBytes];
    if (descriptor[kTypeAt] != 'C') return;
    widths[c] = descriptor[kWidthAt];
    total += widths[c];
  }
  if (total != record_bytes) return;  // not a table as GDAL writes it

  ForEachBlock(file, header_bytes, records, record_bytes,
               [&](const char* block, size_t count, size_t done) {
                 for (size_t r = 0; r < count; ++r) {
                   const char* value = block + r * record_bytes + 1;
                   for (size_t c = 0; c < columns; value += widths[c], ++c) {
                     size_t length = widths[c];
                     while (length > longest[c] && value[length - 1] == ' ') --length;
                     longest[c] = length;
                   }
                 }
                 step(0.5 * static_cast<double>(done + count) / records);
               });
  if (longest == widths) return;

  size_t shrunk_bytes = 1;
  for (size_t c = 0; c < columns; ++c) {
    descriptors[c * kDescriptorBytes + kWidthAt] = static_cast<unsigned char>(longest[c]);
    shrunk_bytes += longest[c];
  }
  // Each record moves to an offset no later than where it was read from, and
  // a block is read whole before it is written: the copy can go in place.
  std::vector<char> out;
  ForEachBlock(file, header_bytes, records, record_bytes,
               [&](const char* block, size_t count, size_t done) {
                 out.clear();
                 for (size_t r = 0; r < count; ++r) {
                   const char* record = block + r * record_bytes;
                   out.push_back(record[0]);
                   const char* value = record + 1;
                   for (size_t c = 0; c < columns; value += widths[c], ++c) {
                     out.insert(out.end(), value, value + longest[c]);
                   }
                 }
                 file.WriteAt(out.data(), out.size(),
                              static_cast<off_t>(header_bytes + done * shrunk_bytes));
                 step(0.5 + 0.5 * static_cast<double>(done + count) / records);
               });
  const size_t end = header_bytes + records * shrunk_bytes;
  file.WriteAt(&kEndOfFile, 1, static_cast<off_t>(end));
  file.Truncate(static_cast<off_t>(end + 1));
  Write16(header + 10, shrunk_bytes);
  file.WriteAt(descriptors.data(), descriptors.size(), kHeaderBytes);
  file.WriteAt(header, kHeaderBytes, 0);
}

}  // namespace pelmora::gdal
