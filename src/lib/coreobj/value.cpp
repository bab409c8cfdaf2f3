#include "coreobj/value.h"

bool Value::isSet() const {
    return m_is_set;
}

void Value::setOn() {
    m_is_set = true;
}

void Value::setOff() {
    m_is_set = false;
}
