#include "params/parameter_settings.h"
