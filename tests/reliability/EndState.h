// What must hold in the POS database and the shop after reliability runs.
// Invariants hold after every pass, also one killed half way: no half invoice
// (every head has its lines and, for an invoice, its payment; no line or
// payment without its head), no order or refund written twice, every
// invoice's lines are the order's lines, and the sync log never stands past
// an order that was not written, nor past a refund or cancellation not
// booked. The end state adds, after the faults stop and a few passes ran:
// every order written, stock = start - lines + credits, every refund and
// cancellation booked once, the shop's catalogue equal to the POS's.
#pragma once

#include <string>
#include <vector>

namespace ooa::test {

class TReliabilityWorld;

// The broken invariants, one line each; empty when all hold.
std::vector<std::string> InvariantProblems(const TReliabilityWorld& world);

// Runs every end-state check, records each in the report under `section`
// (passed, FAILED, or skipped with the reason) and fails the test on a failure.
void CheckEndState(const TReliabilityWorld& world, const std::string& section);

}  // namespace ooa::test
