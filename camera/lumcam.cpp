// The library's exported functions: each hands over to the one simulator instance.
#include "camera/lumcam.h"

#include "camera/Simulator.h"

using lumcam::TSimulator;

namespace {
TSimulator& Sim() {
    return TSimulator::Instance();
}
} // namespace

extern "C" {

int32_t ls_initialize(uint32_t bufferSize, uint32_t transferSize, int32_t maxDevices, int32_t pipe,
                      const char* devicePrefix) {
    return Sim().Initialize(bufferSize, transferSize, maxDevices, pipe, devicePrefix);
}
int32_t ls_enumdevices(void) {
    return Sim().EnumDevices();
}
const char* ls_getproductname(int32_t index) {
    return Sim().ProductName(index);
}
const char* ls_getserialnumber(int32_t index) {
    return Sim().SerialNumber(index);
}
uint16_t ls_getfwversion(int32_t index) {
    return Sim().FirmwareVersion(index);
}
int32_t ls_currentdeviceindex(void) {
    return Sim().CurrentDeviceIndex();
}
int32_t ls_opendevicebyindex(int32_t index) {
    return Sim().Open(index);
}
int32_t ls_closedevice(void) {
    return Sim().Close();
}
int32_t ls_getpipe(void* destination, uint32_t wanted, uint32_t* count) {
    return Sim().GetPipe(destination, wanted, count);
}
int32_t ls_setpacketlength(uint32_t length) {
    return Sim().SetPacketLength(length);
}
int32_t ls_getpacketlength(uint32_t* length) {
    return Sim().GetPacketLength(length);
}
int32_t ls_seteptimeout(int32_t milliseconds) {
    return Sim().SetEpTimeout(milliseconds);
}
int32_t ls_geteptimeout(void) {
    return Sim().GetEpTimeout();
}
uint32_t ls_getfps(void) {
    return Sim().GetFps();
}
int32_t ls_getsensortype(uint16_t* type, uint16_t* pixels) {
    return Sim().GetSensorType(type, pixels);
}
int32_t ls_getmcusensortype(uint16_t* type) {
    return Sim().GetMcuSensorType(type);
}
const char* ls_getsensorname(uint16_t type) {
    return Sim().SensorName(type);
}
const char* ls_geterrorstring(int32_t code) {
    return Sim().ErrorString(code);
}
int32_t ls_setmode(int32_t mode) {
    return Sim().SetMode(mode);
}
int32_t ls_getmode(uint8_t* mode) {
    return Sim().GetMode(mode);
}
int32_t ls_setstate(uint8_t state) {
    return Sim().SetState(state);
}
int32_t ls_getstate(uint8_t* state) {
    return Sim().GetState(state);
}
int32_t ls_setcfg1(uint8_t cfg1) {
    return Sim().SetCfg1(cfg1);
}
int32_t ls_getcfg1(uint8_t* cfg1) {
    return Sim().GetCfg1(cfg1);
}
int32_t ls_setinttime(int32_t microseconds) {
    return Sim().SetIntegrationTime(microseconds);
}
int32_t ls_getinttime(uint32_t* microseconds) {
    return Sim().GetIntegrationTime(microseconds);
}
int32_t ls_setsofttrigtime(int32_t microseconds) {
    return Sim().SetSoftTriggerTime(microseconds);
}
int32_t ls_getsofttrigtime(uint32_t* microseconds) {
    return Sim().GetSoftTriggerTime(microseconds);
}
int32_t ls_getminmaxtime(uint16_t type, uint32_t* minimum, uint32_t* maximum) {
    return Sim().GetMinMaxTime(type, minimum, maximum);
}
int32_t ls_getminmaxtrigtime(uint32_t* minimum, uint32_t* maximum) {
    return Sim().GetMinMaxTriggerTime(minimum, maximum);
}
int32_t ls_setadcconfig(uint16_t config) {
    return Sim().SetAdcConfig(config);
}
int32_t ls_getadcconfig(uint16_t* config) {
    return Sim().GetAdcConfig(config);
}
int32_t ls_setadcpga1(uint16_t gain) {
    return Sim().SetGain(gain);
}
int32_t ls_getadcpga1(uint16_t* gain) {
    return Sim().GetGain(gain);
}
int32_t ls_setadcoffset1(uint16_t offset) {
    return Sim().SetOffset(offset);
}
int32_t ls_getadcoffset1(uint16_t* offset) {
    return Sim().GetOffset(offset);
}
int32_t ls_customfirmware(uint32_t* number) {
    return Sim().CustomFirmware(number);
}
int32_t ls_savesettings(void) {
    return Sim().SaveSettings();
}

} // extern "C"
