#pragma once
// A test-only switch that makes the Nth HTTP request of the process fail,
// so that a sync broken off at any request can be tested and then
// finished. Two ways to fail: before the request is sent (the server never
// sees it, as when the network is down) or after the server has answered
// (the answer is lost, as when the connection drops or the process is
// killed right after the server acted). Both fail the way an unreachable
// server does: lumo::Error with the message of a broken connection.
//
// Process-wide state; arming, disarming and counting may be used from any
// thread. Cost when unarmed: one atomic load per request.
#include <cstdint>

namespace lumo::sync {

enum class HttpFaultKind : std::uint8_t { BeforeSending, AfterAnswer };

// Counts requests from 1 from the moment of arming; request `nth` fails.
void armHttpFault(int nth, HttpFaultKind kind);
void disarmHttpFault();
// Requests made since the last arming (or since the program began).
int httpRequestsSinceArming();

// Called by the HTTP client once per request: true when this request is
// the one to fail in the given way. `beforeSending` is asked before the
// request goes out and returns the request's number through `number`.
bool httpFaultBeforeSending(int& number);
bool httpFaultAfterAnswer(int number);

}  // namespace lumo::sync
