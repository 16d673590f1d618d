#include "avi/StoredError.h"

#include "avi/Errors.h"

namespace vidloom {

StoredError::Kind StoredError::kindOf(const std::exception& error) {
    if (dynamic_cast<const IoError*>(&error)) {
        return Kind::Io;
    }
    if (dynamic_cast<const OverflowError*>(&error)) {
        return Kind::Overflow;
    }
    if (dynamic_cast<const RangeError*>(&error)) {
        return Kind::Range;
    }
    if (dynamic_cast<const DivisionError*>(&error)) {
        return Kind::Division;
    }
    if (dynamic_cast<const ListIndexError*>(&error)) {
        return Kind::ListIndex;
    }
    if (dynamic_cast<const ConversionError*>(&error)) {
        return Kind::Conversion;
    }
    return Kind::Other;
}

StoredError StoredError::of(const std::exception& error) {
    return {kindOf(error), error.what()};
}

void StoredError::raise() const {
    switch (kind) {
    case Kind::Io:
        throw IoError(message);
    case Kind::Overflow:
        throw OverflowError(message);
    case Kind::Range:
        throw RangeError(message);
    case Kind::Division:
        throw DivisionError(message);
    case Kind::ListIndex:
        throw ListIndexError(message);
    case Kind::Conversion:
        throw ConversionError(message);
    case Kind::None:
    case Kind::Other:
        break;
    }
    throw VidloomError(message);
}

} // namespace vidloom
