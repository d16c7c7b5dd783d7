// Takes the MQO document out of a ZIP archive (a zipped .mqoz document).
//
// ExtractZippedDocument(archive, size, text) reads the archive through its central directory and
// takes the first entry, in directory order, whose name ends in ".mqo" in any letter case. It
// returns kZipOk with `text` holding the entry's bytes, stored or inflated, their CRC-32 checked;
// otherwise the reason it failed, with `text` empty. Archives split over several disks and ZIP64
// archives are refused, and so are encrypted entries, methods other than stored (0) and deflated
// (8), and entries that claim more than 64 times the archive's size or 2 GiB once inflated.
//
// Safe on untrusted input: every size and offset is checked against the archive's length before
// use and nothing outside [archive, archive + size) is read; the only large allocation is the
// entry's declared size, within the limits above, and a stream that inflates to more or fewer
// bytes than declared fails. Nothing is thrown; no memory gives kZipNoMemory.
#pragma once

#include <cstddef>
#include <vector>

enum ZipResult : int {
  kZipOk = 0,
  kZipMalformed,      // a signature, size or offset that does not fit the archive
  kZipUnsupported,    // ZIP64, or split over several disks
  kZipNoDocument,     // no entry named *.mqo
  kZipEncrypted,      // the document's entry is encrypted
  kZipUnknownMethod,  // compressed by a method other than stored or deflated
  kZipTooLarge,       // declared larger than 64 times the archive, or than 2 GiB
  kZipBadData,        // the deflated stream is damaged, or inflates to another size than declared
  kZipBadCrc,         // the bytes do not match their CRC-32
  kZipNoMemory,
};

// True when the bytes begin with a ZIP local file header ("PK", 3, 4).
bool IsZipArchive(const char* data, size_t size);

ZipResult ExtractZippedDocument(const char* archive, size_t size, std::vector<char>& text);
