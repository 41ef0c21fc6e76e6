#include "addin/LiveObjects.h"

namespace expwiz {

LiveObjects::Token::Token(std::shared_ptr<std::atomic<int>> count) : count_(std::move(count))
{
    ++*count_;
}

LiveObjects::Token::Token(const Token& other) : count_(other.count_)
{
    ++*count_;
}

LiveObjects::Token::~Token()
{
    --*count_;
}

} // namespace expwiz
