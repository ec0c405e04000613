/*
 * Pellux: driver library for card encoders on a serial port.
 *
 * Every function returns a 16-bit result code: 1 for success (0 for Command57, InitCommDev and
 * CloseCommDev), negative for a failure:
 *   -1  magnetic encoder: no byte within 3 s, or card status "R"
 *   -2  no first reply byte within 1 s (or the wait failed)
 *   -3  TI0034_ReadRom: no valid reading within the tries
 *   -4  TI0034_ReadRom: transponder type is not "R"
 *   -5  a verification or handshake failed
 *   -6  no port is open
 *   -8  an argument is out of range
 *   -9  Command57: unknown mode
 *   -11 opening or setting up the port failed (missing, or held by another program)
 *   -12 a write or read failed, a reply was malformed, or its checksum is wrong
 *   -(s & 0x7F) the encoder answered with status byte s other than 1
 *
 * COM n (n = 1..4) is the device named by the environment variable PELLUX_COM<n>, read at each
 * open; without it, /dev/ttyS<n-1>. One port serves the whole process; calls are serialised.
 */
#ifndef PELLUX_H
#define PELLUX_H

#include <stdint.h>

#if defined(PELLUX_BUILDING_LIBRARY)
#define PELLUX_API __attribute__((visibility("default")))
#else
#define PELLUX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Serial link */
PELLUX_API int16_t AT88RF256_12_OpenCommPort(int16_t port);
PELLUX_API int16_t AT88RF256_12_CloseCommPort(void);
PELLUX_API int16_t InitCommDev(uint32_t portIndex); /* low byte used; always 0 */
PELLUX_API int16_t CloseCommDev(uint32_t ignored);  /* always 0 */
PELLUX_API int16_t MG_OpenCommPort(int16_t port);
PELLUX_API int16_t MG_CloseCommPort(void);
PELLUX_API int16_t MG_ZT2330_OpenCommPort(int16_t port);
PELLUX_API int16_t MG_ZT2330_CloseCommPort(void);

/* Contactless cards */
PELLUX_API int16_t AT88RF256_12_WritePage(const uint8_t data[4], uint8_t page);
PELLUX_API int16_t AT88RF256_12_ReadPage(uint8_t buffer[4], uint8_t page);
PELLUX_API int16_t AT88RF256_12_WriteLockByte(uint8_t lock);
PELLUX_API int16_t AT88RF256_12_WriteConfigurationBits(const uint8_t config[3]);
PELLUX_API int16_t AT88RF256_12_WritePassword(const uint8_t password[4]);
PELLUX_API int16_t AT88RF256_12_DisableChip(void);
PELLUX_API int16_t AT88RF256_12_CheckPassword(const uint8_t password[4]);
PELLUX_API int16_t AT88RF256_12_ReadDataCard(uint8_t buffer[2049]);
PELLUX_API int16_t GetRfRwVersion_1(uint8_t *buffer); /* at least 7 bytes */
PELLUX_API int16_t AT88RF256_12_Beep(uint8_t parameter);
PELLUX_API int16_t AT88RF256_12_PowerOn(void);
PELLUX_API int16_t AT88RF256_12_PowerOff(void);
PELLUX_API int16_t eeWriteByte(uint8_t first, uint8_t second, const uint8_t *value);
PELLUX_API int16_t eeReadByte(uint8_t first, uint8_t second, uint8_t *value);
PELLUX_API int16_t TI0036_Write(const uint8_t data[10], uint8_t *type);
PELLUX_API int16_t TI0036_Read(uint8_t data[10], uint8_t *type);
PELLUX_API int16_t TI0036_CalCRC16(const uint8_t *data, uint8_t length, uint8_t *crc0,
                                   uint8_t *crc1);
PELLUX_API int16_t EM4100_ReadRom(uint8_t buffer[4]);
PELLUX_API int16_t Command57(uint8_t, uint8_t, uint32_t, uint8_t, uint8_t mode, uint8_t block,
                             uint8_t data[4]);
PELLUX_API int16_t AT88RF256_12_WriteData(const uint8_t *data, uint8_t startPage, uint8_t length);
PELLUX_API int16_t AT88RF256_12_ReadData(uint8_t *buffer, uint8_t startPage, uint8_t length);
PELLUX_API int16_t AT88RF256_12_ReadRom(uint8_t buffer[8]);
PELLUX_API int16_t TI0034_ReadRom(uint8_t data[10], uint8_t tries);
PELLUX_API int16_t GetRfDllVersion_0(char *buffer); /* at least 27 bytes */

/* Magnetic cards */
PELLUX_API int16_t MG_CardRead(uint8_t *buffer, uint32_t ignored);    /* at least 64 bytes */
PELLUX_API int16_t MG_CardWrite(const uint8_t *data, uint8_t length); /* length <= 57 */
PELLUX_API int16_t MG_CLE(void);
PELLUX_API int16_t MG_ZT2330_CardRead(uint8_t *buffer, uint32_t ignored);    /* at least 64 bytes */
PELLUX_API int16_t MG_ZT2330_CardWrite(const uint8_t *data, uint8_t length); /* length <= 60 */

#ifdef __cplusplus
}
#endif

#endif /* PELLUX_H */
