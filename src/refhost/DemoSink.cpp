#include "refhost/DemoSink.h"

#include "host/HostError.h"

namespace orvo::refhost {

DemoRows::~DemoRows() = default;
DemoSink::~DemoSink() = default;

DemoRows::Value& DemoRows::at(int index)
{
    if (index < 1 || static_cast<size_t>(index) > values_.size())
        throw HostError(errnum::SubscriptOutOfRange,
                        QStringLiteral("Demo column %1 is not in the table (it has %2).").arg(index).arg(values_.size()));
    return values_[static_cast<size_t>(index - 1)];
}

void DemoRows::reset()
{
    for (Value& v : values_)
        v.kind = Value::Null;
}

void DemoRows::bind(int index, int64_t value)
{
    Value& v = at(index);
    v.kind = Value::Integer;
    v.integer = value;
}

void DemoRows::bind(int index, double value)
{
    Value& v = at(index);
    v.kind = Value::Real;
    v.real = value;
}

void DemoRows::bindUtf8(int index, std::string_view value)
{
    Value& v = at(index);
    v.kind = Value::Text;
    v.text.assign(value.data(), value.size());
}

void DemoRows::bindNull(int index)
{
    at(index).kind = Value::Null;
}

} // namespace orvo::refhost
