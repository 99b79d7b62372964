#pragma once

#include <QVector>

// A list held in blocks that never move once filled: a log of a million
// entries grows without pausing the window to copy what it holds, nor
// holding it twice meanwhile.
template<typename T>
class BlockList final
{
public:
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const T& at(int index) const { return m_blocks.at(index >> blockBits).at(index & blockMask); }
    T& operator[](int index) { return m_blocks[index >> blockBits][index & blockMask]; }
    T& last() { return (*this)[m_size - 1]; }
    const T& last() const { return at(m_size - 1); }

    void append(const T& value)
    {
        // The first block grows as it fills: most lists here stay short.
        if ((m_size & blockMask) == 0) {
            m_blocks.append(QVector<T>());
            if (m_size > 0)
                m_blocks.last().reserve(blockMask + 1);
        }
        m_blocks.last().append(value);
        ++m_size;
    }

    // Hands every entry to take in order, each block freed once read, and
    // leaves the list empty: moving a long list into another never holds it twice.
    template<typename Take>
    void drain(Take take)
    {
        for (QVector<T>& block : m_blocks) {
            for (const T& value : qAsConst(block))
                take(value);
            block = QVector<T>();
        }
        m_blocks.clear();
        m_size = 0;
    }

    // The index of the last entry that before(entry) holds for, -1 for none:
    // it must hold for the entries up to one and for none after it.
    template<typename Before>
    int lastOf(Before before) const
    {
        int low = 0;
        int high = m_size;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (before(at(middle)))
                low = middle + 1;
            else
                high = middle;
        }
        return low - 1;
    }

private:
    static constexpr int blockBits = 16;
    static constexpr int blockMask = (1 << blockBits) - 1;

    QVector<QVector<T>> m_blocks;
    int m_size = 0;
};
