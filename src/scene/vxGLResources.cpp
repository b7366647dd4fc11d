#include "vxGLResources.h"

#include <GL/gl.h>

#include <unordered_map>
#include <vector>

namespace vxGLResources {

namespace {

struct ContextBooks {
    std::int64_t live = 0;
    std::vector<std::uint32_t> queue;
};

struct Registry {
    ContextId nextId = 1;
    ContextId current = 0;
    std::unordered_map<ContextId, ContextBooks> contexts;
};

// Never destroyed: objects released during static destruction still find it.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

} // namespace

ContextId newContextId()
{
    Registry& r = registry();
    ContextId id = r.nextId++;
    r.contexts.emplace(id, ContextBooks{});
    return id;
}

void setCurrentContext(ContextId id)
{
    registry().current = id;
}

ContextId currentContext()
{
    return registry().current;
}

std::uint32_t newList()
{
    Registry& r = registry();
    GLuint list = glGenLists(1);
    if (list != 0) {
        auto it = r.contexts.find(r.current);
        if (it != r.contexts.end())
            ++it->second.live;
    }
    return list;
}

void releaseList(ContextId id, std::uint32_t list)
{
    if (list == 0)
        return;
    Registry& r = registry();
    auto it = r.contexts.find(id);
    if (it != r.contexts.end())
        it->second.queue.push_back(list);
}

void deleteQueuedLists(ContextId id)
{
    Registry& r = registry();
    auto it = r.contexts.find(id);
    if (it == r.contexts.end())
        return;
    ContextBooks& books = it->second;
    for (std::uint32_t list : books.queue)
        glDeleteLists(list, 1);
    books.live -= static_cast<std::int64_t>(books.queue.size());
    books.queue.clear();
}

void forgetContext(ContextId id)
{
    Registry& r = registry();
    r.contexts.erase(id);
    if (r.current == id)
        r.current = 0;
}

std::int64_t liveLists(ContextId id)
{
    const Registry& r = registry();
    auto it = r.contexts.find(id);
    return it == r.contexts.end() ? 0 : it->second.live;
}

std::int64_t queuedLists(ContextId id)
{
    const Registry& r = registry();
    auto it = r.contexts.find(id);
    return it == r.contexts.end() ? 0 : static_cast<std::int64_t>(it->second.queue.size());
}

} // namespace vxGLResources
