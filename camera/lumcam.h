// Public interface of the line-camera driver library: 38 C functions, all returning at once except
// ls_getpipe, which waits for frame data. Codes are 0 for success; ls_geterrorstring explains the others.
// Texts returned by the library stay valid for the life of the process.
#ifndef LUMCAM_H
#define LUMCAM_H

#include <stdint.h>

#if defined(LUMCAM_BUILDING)
#define LUMCAM_API __attribute__((visibility("default")))
#else
#define LUMCAM_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Library set-up: frame buffer size in bytes, host transfer size in bytes, the most devices to list,
   the bulk-in pipe number, the device name prefix. Non-zero when the library is ready. */
LUMCAM_API int32_t ls_initialize(uint32_t bufferSize, uint32_t transferSize, int32_t maxDevices, int32_t pipe,
                                 const char* devicePrefix);

/* Devices */
LUMCAM_API int32_t ls_enumdevices(void);
LUMCAM_API const char* ls_getproductname(int32_t index);
LUMCAM_API const char* ls_getserialnumber(int32_t index);
LUMCAM_API uint16_t ls_getfwversion(int32_t index);
LUMCAM_API int32_t ls_currentdeviceindex(void);
LUMCAM_API int32_t ls_opendevicebyindex(int32_t index);
LUMCAM_API int32_t ls_closedevice(void);

/* Frame data: with a destination, waits up to the end-point time-out for data and copies at most
   `wanted` bytes; with no destination and 0 wanted, reports the bytes buffered in *count.
   After ls_setcfg1 changed the configuration of the open device, the read in progress (or the next one)
   ends with LS_CONFIG_CHANGED and no data; every byte after it belongs to frames of the new format. */
#define LS_CONFIG_CHANGED 1015
LUMCAM_API int32_t ls_getpipe(void* destination, uint32_t wanted, uint32_t* count);

/* Host transfer */
LUMCAM_API int32_t ls_setpacketlength(uint32_t length);
LUMCAM_API int32_t ls_getpacketlength(uint32_t* length);
LUMCAM_API int32_t ls_seteptimeout(int32_t milliseconds);
LUMCAM_API int32_t ls_geteptimeout(void);
LUMCAM_API uint32_t ls_getfps(void);

/* Sensor */
LUMCAM_API int32_t ls_getsensortype(uint16_t* type, uint16_t* pixels);
LUMCAM_API int32_t ls_getmcusensortype(uint16_t* type);
LUMCAM_API const char* ls_getsensorname(uint16_t type);
LUMCAM_API const char* ls_geterrorstring(int32_t code);

/* Camera settings */
LUMCAM_API int32_t ls_setmode(int32_t mode);
LUMCAM_API int32_t ls_getmode(uint8_t* mode);
LUMCAM_API int32_t ls_setstate(uint8_t state);
LUMCAM_API int32_t ls_getstate(uint8_t* state);
LUMCAM_API int32_t ls_setcfg1(uint8_t cfg1);
LUMCAM_API int32_t ls_getcfg1(uint8_t* cfg1);
LUMCAM_API int32_t ls_setinttime(int32_t microseconds);
LUMCAM_API int32_t ls_getinttime(uint32_t* microseconds);
LUMCAM_API int32_t ls_setsofttrigtime(int32_t microseconds);
LUMCAM_API int32_t ls_getsofttrigtime(uint32_t* microseconds);
LUMCAM_API int32_t ls_getminmaxtime(uint16_t type, uint32_t* minimum, uint32_t* maximum);
LUMCAM_API int32_t ls_getminmaxtrigtime(uint32_t* minimum, uint32_t* maximum);
LUMCAM_API int32_t ls_setadcconfig(uint16_t config);
LUMCAM_API int32_t ls_getadcconfig(uint16_t* config);
LUMCAM_API int32_t ls_setadcpga1(uint16_t gain);
LUMCAM_API int32_t ls_getadcpga1(uint16_t* gain);
LUMCAM_API int32_t ls_setadcoffset1(uint16_t offset);
LUMCAM_API int32_t ls_getadcoffset1(uint16_t* offset);
LUMCAM_API int32_t ls_customfirmware(uint32_t* number);
LUMCAM_API int32_t ls_savesettings(void);

#ifdef __cplusplus
}
#endif

#endif
