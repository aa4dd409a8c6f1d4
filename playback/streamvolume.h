#pragma once

#include <QObject>
#include <QSet>

struct pa_context;
struct pa_glib_mainloop;
struct pa_sink_input_info;

namespace melodrift {
struct ServerCallbacks;
}

namespace melodrift {

//! The volume and mute of the program's own streams on the sound server (PulseAudio, or PipeWire's
//! PulseAudio layer), kept as one: what the desktop's mixer shows and changes. Every stream of this
//! process that appears is given the volume; a change made to one in a mixer becomes the volume.
//! Without a server that answers, it stays unconnected and does nothing.
class StreamVolume : public QObject {
    Q_OBJECT
public:
    explicit StreamVolume(QObject* parent = nullptr);
    ~StreamVolume() override;
    StreamVolume(const StreamVolume&) = delete;
    StreamVolume& operator=(const StreamVolume&) = delete;

    //! True once a server has answered.
    [[nodiscard]] bool isConnected() const { return m_connected; }
    //! 0.0 (silent) to 1.0, the server's 100 %.
    void setVolume(double volume);
    void setMuted(bool muted);

Q_SIGNALS:
    void connected();
    //! A change made outside the program (a mixer), or the server's volume for the first stream.
    void volumeChanged(double volume);
    void mutedChanged(bool muted);

private:
    friend struct ServerCallbacks;
    void streamSeen(const pa_sink_input_info& info);
    void apply(unsigned index);

    pa_glib_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    bool m_connected = false;
    QSet<unsigned> m_streams; // sink inputs of this process
    double m_volume = 0.5;
    bool m_muted = false;
};

} // namespace melodrift
