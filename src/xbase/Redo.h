#pragma once
#include <cstdint>
#include <string>

namespace xbase {

// A change of a record in place that crosses a 512-byte sector, which a power cut could tear
// (half new, half old), is first noted whole in a small file beside the table,
// "<table>.dbf.redo"; the next writable open writes a note it finds, so the record ends up
// new, never mixed. A change inside one sector needs no note: a sector is written whole or not
// at all. Other xBase programs do not know the file and need not: a note is only ever left by
// a power cut in the middle of a post.
namespace redo {

std::string pathFor(const std::string& dbfPath);
// The note, durable when this returns (the first one also makes its name durable).
void write(const std::string& dbfPath, uint64_t offset, const std::string& bytes);
// Drops the note, durably: a note must never outlive its post, or a later change of the same
// bytes would be undone by it.
void clear(const std::string& dbfPath);
// The whole note a cut post left; false when there is none (or only a torn one: then the
// change itself was never begun).
bool read(const std::string& dbfPath, uint64_t& offset, std::string& bytes);

} // namespace redo
} // namespace xbase
