// A camera library that lacks two of the contract's functions, for the binding's tests.
#include <cstdint>

#define STUB(name)                                                                                           \
    extern "C" __attribute__((visibility("default"))) int32_t name() {                                       \
        return 0;                                                                                            \
    }

STUB(ls_initialize)
STUB(ls_enumdevices)
STUB(ls_getproductname)
STUB(ls_getserialnumber)
STUB(ls_getfwversion)
STUB(ls_currentdeviceindex)
STUB(ls_opendevicebyindex)
STUB(ls_closedevice)
STUB(ls_getpipe)
STUB(ls_setpacketlength)
STUB(ls_getpacketlength)
STUB(ls_seteptimeout)
STUB(ls_geteptimeout)
STUB(ls_getsensortype)
STUB(ls_getmcusensortype)
STUB(ls_getsensorname)
STUB(ls_geterrorstring)
STUB(ls_setmode)
STUB(ls_getmode)
STUB(ls_setstate)
STUB(ls_getstate)
STUB(ls_setcfg1)
STUB(ls_getcfg1)
STUB(ls_setinttime)
STUB(ls_getinttime)
STUB(ls_setsofttrigtime)
STUB(ls_getsofttrigtime)
STUB(ls_getminmaxtime)
STUB(ls_getminmaxtrigtime)
STUB(ls_setadcconfig)
STUB(ls_getadcconfig)
STUB(ls_setadcpga1)
STUB(ls_getadcpga1)
STUB(ls_setadcoffset1)
STUB(ls_getadcoffset1)
STUB(ls_customfirmware)
// ls_getfps and ls_savesettings are missing.
