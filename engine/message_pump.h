#pragma once
// Draining the calling thread's message queue between the steps of a long operation, so that
// window messages, script calls and `Stop` are served while it runs.
namespace kt::engine {

// Peeks, translates and dispatches until the queue is empty. A quit message ends the draining
// and is posted again, so that the thread's own message loop still sees it.
void DrainMessages();

}  // namespace kt::engine
