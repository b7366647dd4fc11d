#pragma once

#include <cstdint>

// Book-keeping of the display lists that scene objects, shared meshes and
// the view create, so that every discarded list is deleted in the OpenGL
// context that created it, and only there.
//
// Each view gets a context id when it sets up its context and marks it as
// the current one whenever it draws or picks. A list created while a
// context id is current remembers that id; discarding a list only queues
// (id, list); the view deletes the queued lists of its own id while its
// context is current. Lists of a context that is gone are never deleted by
// hand: they went with the context.
//
// Main thread only, like all drawing.
namespace vxGLResources {

using ContextId = std::uintptr_t; // 0: no context

// A new, never used context id.
ContextId newContextId();

// The context whose GL calls are being issued now (0: none).
void setCurrentContext(ContextId id);
ContextId currentContext();

// glGenLists(1) in the current context, counted as live there.
std::uint32_t newList();

// Queues the list for deletion in its context. Ignored for list 0 and for
// contexts that have been forgotten.
void releaseList(ContextId id, std::uint32_t list);

// Deletes the queued lists of id. Its GL context must be current.
void deleteQueuedLists(ContextId id);

// The context is gone (with its lists): drops its queue and its count.
void forgetContext(ContextId id);

// Lists created in id minus lists deleted there (queued ones still count).
std::int64_t liveLists(ContextId id);
// Lists of id queued for deletion and not yet deleted.
std::int64_t queuedLists(ContextId id);

} // namespace vxGLResources
