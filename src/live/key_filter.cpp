#include "live/key_filter.h"

namespace sequaflow::live {

char FilterKey(KeyFilter filter, char key, char localeSeparator, char otherSeparator) {
    if (key == kBackspace || key == kEnter) return key;
    if (key >= '0' && key <= '9') return key;
    const bool decimal = filter == KeyFilter::Decimal || filter == KeyFilter::SignedDecimal;
    const bool sign = filter == KeyFilter::SignedDecimal || filter == KeyFilter::SignedDigit;
    if (sign && (key == '-' || key == '+')) return key;
    if (decimal) {
        if (key == localeSeparator) return key;
        // The signed variant keeps a typed ',' as it is.
        if (filter == KeyFilter::SignedDecimal && key == ',') return key;
        if (key == otherSeparator) return localeSeparator;
    }
    return 0;
}

}  // namespace sequaflow::live
