#pragma once

// Version 1.1 packet checksum over the payload: the byte sum XOR the byte XOR
// shifted left by four. Callers use the low 8 bits; only the low nibble of the
// XOR reaches them.
int Checksum11(const unsigned char* bytes, int count);
