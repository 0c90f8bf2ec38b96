#pragma once
// Large blocks kept for reuse. A viewer paging through photos, or a tool
// converting file after file, frees and allocates picture-sized blocks over
// and over; by default the C library returns each to the kernel and the next
// one costs a page fault and a zeroing per page again.

namespace zelmar {

// Blocks up to this size come from the heap and stay there once freed.
inline constexpr int kReusedBlockBytes = 256 << 20;
// Free memory kept at the top of the heap before it is handed back.
inline constexpr int kKeptFreeBytes = 256 << 20;
// Heaps the threads allocate from. By default each thread that allocates
// gets one of its own, up to eight a core: the prefetching thread and
// OpenCV's helpers each kept freed picture-sized blocks that the others
// could not reuse, and resident memory crept up picture after picture.
// With two, the host's thread and the rest share what they free.
inline constexpr int kArenas = 2;

// Tells the allocator to keep and reuse picture-sized blocks. Called once at
// the start of each program's main, as it changes the whole process; later
// calls do nothing. Returns false when the allocator ignores the advice
// (another allocator, or a sanitizer's).
bool tuneMemoryForPictures();

}  // namespace zelmar
