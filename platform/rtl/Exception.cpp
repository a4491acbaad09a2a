#include "platform/rtl/Exception.h"

namespace plat {

void Abort() { throw EAbort("Operation aborted"); }

} // namespace plat
