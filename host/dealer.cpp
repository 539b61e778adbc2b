#include "dealer.h"

#include <stdexcept>

Dealer::Dealer(quint32 seed) : generator_(seed)
{}

int Dealer::Random(int n)
{
    return std::uniform_int_distribution<int>(0, n - 1)(generator_);
}

QByteArray Dealer::drawWord()
{
    if (!fixed_.isEmpty())
        return fixed_.takeFirst();
    if (words_.count() == 0)
        throw std::runtime_error("The deal words are missing from this build");
    QByteArray word;
    while (word.size() != 10)
        word = words_.GetString(Random(DealWords::kIdentifiers));
    return word;
}
