// Owning handles for GStreamer references, so that every ref taken is released exactly once
// whatever path the code leaves by. Only media/ includes this.
#pragma once

#include <gst/gst.h>

#include <utility>

template <typename T>
struct GstRefTraits;

#define PICTOREL_GST_OBJECT_REF(Type)                                    \
  template <>                                                            \
  struct GstRefTraits<Type> {                                            \
    static Type* ref(Type* p) { return static_cast<Type*>(gst_object_ref(p)); } \
    static void unref(Type* p) { gst_object_unref(p); }                  \
  };
#define PICTOREL_GST_MINI_OBJECT_REF(Type, refFn, unrefFn)               \
  template <>                                                            \
  struct GstRefTraits<Type> {                                            \
    static Type* ref(Type* p) { return refFn(p); }                       \
    static void unref(Type* p) { unrefFn(p); }                           \
  };

PICTOREL_GST_OBJECT_REF(GstObject)
PICTOREL_GST_OBJECT_REF(GstElement)
PICTOREL_GST_OBJECT_REF(GstPad)
PICTOREL_GST_OBJECT_REF(GstBus)
PICTOREL_GST_OBJECT_REF(GstElementFactory)
PICTOREL_GST_MINI_OBJECT_REF(GstCaps, gst_caps_ref, gst_caps_unref)
PICTOREL_GST_MINI_OBJECT_REF(GstBuffer, gst_buffer_ref, gst_buffer_unref)
PICTOREL_GST_MINI_OBJECT_REF(GstSample, gst_sample_ref, gst_sample_unref)
PICTOREL_GST_MINI_OBJECT_REF(GstMessage, gst_message_ref, gst_message_unref)
PICTOREL_GST_MINI_OBJECT_REF(GstEvent, gst_event_ref, gst_event_unref)

#undef PICTOREL_GST_OBJECT_REF
#undef PICTOREL_GST_MINI_OBJECT_REF

// One counted reference to a GStreamer object.
template <typename T>
class GstRef {
 public:
  GstRef() = default;
  // Takes over a reference the caller owns (a "transfer full" result).
  static GstRef adopt(T* p) {
    GstRef r;
    r.m_p = p;
    return r;
  }
  // Takes a new reference of its own ("transfer none").
  static GstRef share(T* p) { return adopt(p ? GstRefTraits<T>::ref(p) : nullptr); }

  GstRef(const GstRef& other) : m_p(other.m_p ? GstRefTraits<T>::ref(other.m_p) : nullptr) {}
  GstRef(GstRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  GstRef& operator=(GstRef other) noexcept {
    std::swap(m_p, other.m_p);
    return *this;
  }
  ~GstRef() { reset(); }

  void reset() {
    if (T* p = std::exchange(m_p, nullptr)) GstRefTraits<T>::unref(p);
  }
  // Gives the reference up to the caller (for "transfer full" parameters).
  T* release() { return std::exchange(m_p, nullptr); }

  T* get() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

 private:
  T* m_p = nullptr;
};

// GLib strings and errors returned with "transfer full".
class GCharPtr {
 public:
  explicit GCharPtr(gchar* s = nullptr) : m_s(s) {}
  GCharPtr(const GCharPtr&) = delete;
  GCharPtr& operator=(const GCharPtr&) = delete;
  ~GCharPtr() { g_free(m_s); }
  const gchar* get() const { return m_s ? m_s : ""; }
  gchar** out() { return &m_s; }

 private:
  gchar* m_s;
};

class GErrorPtr {
 public:
  GErrorPtr() = default;
  GErrorPtr(const GErrorPtr&) = delete;
  GErrorPtr& operator=(const GErrorPtr&) = delete;
  ~GErrorPtr() {
    if (m_e) g_error_free(m_e);
  }
  GError* get() const { return m_e; }
  GError** out() { return &m_e; }

 private:
  GError* m_e = nullptr;
};
