#pragma once

#include "dealwords.h"

#include <QByteArray>
#include <QList>

#include <random>

// Draws the words the host deals and the positions their letters are shuffled to, from one
// generator seeded once.
class Dealer {
public:
    explicit Dealer(quint32 seed);

    // A uniform whole number from 0 to n - 1.
    int Random(int n);

    // A random deal word; identifiers without a word are drawn again.
    QByteArray drawWord();

    // Tests only: the next words drawn are these, in order, before random ones again.
    void fixNextWords(const QList<QByteArray>& words) { fixed_ = words; }

private:
    DealWords words_;
    std::mt19937 generator_;
    QList<QByteArray> fixed_;
};
