#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::refhost {

// The rows of one table of the demo content. Values are bound by 1-based
// column position, as to a prepared INSERT, and step() writes the row.
class DemoRows {
public:
    explicit DemoRows(size_t columns) : values_(columns) {}
    virtual ~DemoRows();
    DemoRows(const DemoRows&) = delete;
    DemoRows& operator=(const DemoRows&) = delete;

    struct Value {
        enum Kind { Null, Integer, Real, Text } kind = Null;
        int64_t integer = 0;
        double real = 0;
        std::string text;
    };

    void reset();
    void bind(int index, int64_t value);
    void bind(int index, double value);
    void bindUtf8(int index, std::string_view value);
    void bindNull(int index);
    void step() { write(values_); }
    // Ends the table; a backend that streams rows reports a failure here.
    virtual void finish() {}

protected:
    virtual void write(const std::vector<Value>& row) = 0;

private:
    Value& at(int index);
    std::vector<Value> values_;
};

// Where the demo content goes: one database of a backend.
class DemoSink {
public:
    virtual ~DemoSink();
    virtual std::unique_ptr<DemoRows> table(const char* name, const std::vector<const char*>& columns) = 0;
};

} // namespace orvo::refhost
