#pragma once

// A message or input box that the test neither answered in advance (Prompt::setNextAnswer,
// setNextInput) nor opens on purpose fails the running test at once, naming the box, and is
// answered as its Cancel would be: a forgotten answer never leaves a test waiting on a click.
void installPromptGuard();

// While one lives, boxes come up for real, for the checks that look at them (whileModal).
class RealBoxes
{
public:
    RealBoxes();
    ~RealBoxes();
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;
};
