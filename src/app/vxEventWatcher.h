#pragma once

#include <QEvent>
#include <QObject>

#include <functional>
#include <utility>

// Hands every event of one type that reaches an object to a function first
// (the object then handles it, unless the function returns true: taken).
// Owned by the watched object.
class vxEventWatcher : public QObject {
  public:
    vxEventWatcher(QObject* watched, QEvent::Type type, std::function<bool(QEvent*)> fn)
        : QObject(watched), m_type(type), m_fn(std::move(fn))
    {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == m_type && m_fn(event))
            return true;
        return QObject::eventFilter(watched, event);
    }

  private:
    QEvent::Type m_type;
    std::function<bool(QEvent*)> m_fn;
};
