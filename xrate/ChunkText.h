#pragma once

// How the receive converters measure a chunk. The receive pump hands over at
// most kMaxChunk bytes and puts a zero byte at bytes[count]; the bounds below
// keep each converter's fixed buffers safe should a caller ever break that.

// Bytes of the chunk to convert: count, held within 0 to kMaxChunk.
int ChunkCount(int count);

// The chunk read as text: its length up to the first zero byte, within ChunkCount(count).
int ChunkTextLength(const unsigned char* bytes, int count);
