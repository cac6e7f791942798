#include "formats/LEC_SaveHooks.h"

TSaveHooks &SaveHooks()
{
    static TSaveHooks hooks;
    return hooks;
}
