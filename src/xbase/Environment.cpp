#include "Environment.h"

namespace xbase {

Environment& environment()
{
    static Environment env;
    return env;
}

} // namespace xbase
