#pragma once
// The card encoder at start: the probe on the configured port and the handshake that hands
// the encoder the hotel's system code (or learns it from the encoder).
#include <QString>

#include <cstdint>

// The encoder kind reported at start; 0 until an encoder answers.
extern int16_t EncoderKind;

// The system code as four words, one per pair of hexadecimal characters; false when the
// text is not exactly eight hexadecimal characters.
bool PassToWords(const QString &pass, uint16_t words[4]);
// Four words as eight upper-case hexadecimal characters.
QString WordsToPass(const uint16_t words[4]);

// Opens the encoder on Config/CommProt (0 = COM1); true when it answers.
bool ProbeEncoder();

// Runs the handshake with an opened encoder. Returns whether "Read data card" is to be
// enabled by the encoder kind.
bool EncoderHandshake();

// Whether "Read data card" is enabled after the rights are applied.
bool ReadDataCardAllowed(bool enabledByEncoder, int16_t encoderKind, bool dataCardRight);
