// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

#ifndef LATESTANSWER_H
#define LATESTANSWER_H

// A question asked again whenever what it asks about changes: only the answer to the latest
// counts, and an earlier one that comes late is dropped.
class LatestAnswer
{
public:
    // What to do with the answer to the question asked now.
    template <typename Done> auto to(Done done)
    {
        return [this, round = ++questions, done](const auto &answer) {
            if (round == questions)
                done(answer);
        };
    }

private:
    int questions = 0;
};

#endif // LATESTANSWER_H
