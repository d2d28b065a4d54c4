// A short list of steps that other parts of the engine hand to the platform layer, so that it can run
// them at a fixed point of its own work without knowing them.
#pragma once

typedef void (*EngineStep)();

// Steps run in the order they were added; adding a step twice keeps the first. Holds Capacity steps.
template <int Capacity> class StepList {
  public:
    // Adds step. 1, or 0 for a NULL step or when the list is full.
    int Add(EngineStep step) {
        if (!step) return 0;
        for (int i = 0; i < count_; i++)
            if (steps_[i] == step) return 1;
        if (count_ == Capacity) return 0;
        steps_[count_++] = step;
        return 1;
    }
    // Runs every step, in order.
    void Run() const {
        for (int i = 0; i < count_; i++)
            steps_[i]();
    }
    // Forgets every step.
    void Clear() { count_ = 0; }

  private:
    EngineStep steps_[Capacity] = {};
    int count_ = 0;
};
