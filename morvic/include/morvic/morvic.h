/*
 * Morvic message library: numbered texts for the front-desk program's dialogs.
 *
 * Both entries fill a caller-owned buffer of MORVIC_BUFFER_SIZE (256) bytes: byte 0 holds the
 * length of the text (0 to 255), followed by that many bytes of the text (no terminating
 * zero). The texts are UTF-8: the English library (Dll/1033/) holds plain ASCII, the
 * Simplified Chinese one (Dll/2052/) Chinese characters of three bytes each. They return 1 when the number has a text and 0 otherwise (the buffer then holds the
 * empty text).
 *
 * Units (GetUnitStr):
 *   0  caption of a numbered message; a format with one "%s" for the message number
 *   1  caption of the question asked before ending the open stays of a card
 *   2  that question; a format with one "%s" for the list of rooms
 *
 * Messages (GetMsgStr): one for every card library result code (1, 0, -1, -2, -15). Any other
 * number gets a general failure text naming the number. The third argument is the form of the
 * text; the program passes 1 (the full text), which is the only form there is.
 *
 * The program loads the library at run time and looks the entries up by name; the function
 * pointer types below match them.
 */
#ifndef MORVIC_MORVIC_H
#define MORVIC_MORVIC_H

#include <stdint.h>

#if defined(MORVIC_BUILDING)
#define MORVIC_API __attribute__((visibility("default")))
#else
#define MORVIC_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum { MORVIC_BUFFER_SIZE = 256 };

MORVIC_API int16_t GetUnitStr(uint8_t *Buffer, int16_t Number);
MORVIC_API int16_t GetMsgStr(uint8_t *Buffer, int16_t Number, int16_t Form);

typedef int16_t (*MorvicGetUnitStrFn)(uint8_t *Buffer, int16_t Number);
typedef int16_t (*MorvicGetMsgStrFn)(uint8_t *Buffer, int16_t Number, int16_t Form);

#ifdef __cplusplus
}
#endif

#endif
