#include "urdu/UrduNumberRuns.h"

#include <algorithm>

namespace UrduNumberRuns {

namespace {

    // The full stop typed by the period key, and the one shown on the keyboard beside the comma.
    constexpr quint8 FullStop = 160;
    constexpr quint8 KeyboardFullStop = 46;

    bool isDigit(quint8 code)
    {
        return code >= '0' && code <= '9';
    }

    bool isSeparator(quint8 code)
    {
        switch (code) {
        case '-':
        case '/':
        case ':':
        case ',':
        case FullStop:
        case KeyboardFullStop:
            return true;
        default:
            return false;
        }
    }

    quint8 codeAt(const UrduGlyphText &codes, qsizetype index)
    {
        return static_cast<quint8>(codes.at(index));
    }

    bool contains(const Run &run, const Run &selected)
    {
        return run.start <= selected.start && selected.end <= run.end;
    }

    const Run *runHolding(const QList<Run> &runs, int position)
    {
        const auto found = std::find_if(runs.cbegin(), runs.cend(),
            [position](const Run &run) { return run.start < position && position < run.end; });
        return found == runs.cend() ? nullptr : &*found;
    }

} // namespace

QList<Run> find(const UrduGlyphText &codes)
{
    QList<Run> runs;
    const qsizetype size = codes.size();
    qsizetype index = 0;
    while (index < size) {
        if (!isDigit(codeAt(codes, index))) {
            ++index;
            continue;
        }
        const qsizetype start = index++;
        while (index < size) {
            if (isDigit(codeAt(codes, index)))
                ++index;
            else if (index + 1 < size && isSeparator(codeAt(codes, index))
                && isDigit(codeAt(codes, index + 1)))
                index += 2;
            else
                break;
        }
        if (index - start > 1)
            runs.append({ int(start), int(index) });
    }
    return runs;
}

UrduGlyphText turned(UrduGlyphText codes)
{
    for (const Run &run : find(codes))
        std::reverse(codes.begin() + run.start, codes.begin() + run.end);
    return codes;
}

int caret(const UrduGlyphText &codes, int position)
{
    // The runs outlive the pointer into them.
    const QList<Run> runs = find(codes);
    const Run *run = runHolding(runs, position);
    return run ? run->start + run->end - position : position;
}

Run selection(const UrduGlyphText &codes, Run selected)
{
    for (const Run &run : find(codes)) {
        if (contains(run, selected) && selected.start < selected.end)
            return { run.start + run.end - selected.end, run.start + run.end - selected.start };
    }
    return selected;
}

Run wholeRuns(const UrduGlyphText &codes, Run selected)
{
    const QList<Run> runs = find(codes);
    if (std::any_of(runs.cbegin(), runs.cend(),
            [&selected](const Run &run) { return contains(run, selected); }))
        return selected;
    const Run *atStart = runHolding(runs, selected.start);
    const Run *atEnd = runHolding(runs, selected.end);
    if (atStart)
        selected.start = atStart->start;
    if (atEnd)
        selected.end = atEnd->end;
    return selected;
}

} // namespace UrduNumberRuns
