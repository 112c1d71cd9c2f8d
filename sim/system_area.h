// The simulated drive's system area: the tracks the host cannot address, where the firmware
// modules and the reserve area live.
//
// A track is named by (cylinder, head) and holds sectorsPerTrack sectors of 512 bytes. Tracks
// nobody wrote hold recognisable default content: every sector starts with the tag "SYSM", its
// cylinder, head and sector number, and the rest is a pattern that depends on all three and on
// the byte's offset, so a sector read from the wrong place or a byte out of order shows at once.
// Module images are seeded over it (seed), and the monitor's write command stores into it.
//
// The monitor reaches it through a selected track ("s<track>,<head>,22\r") and the read and
// write commands that copy sectors between the selected track and the drive's buffer memory.
//
//   auto& sa = drive.state<hddsim::SystemArea>();
//   sa.seed(0x1A, 0, appImage);            // a module image from sector 0 of track 1A, head 0
//   QByteArray s = sa.read(0x1A, 0, 4, 1); // sector 4
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstring>
#include <map>
#include <utility>

namespace hddsim {

struct SystemArea {
    static constexpr qsizetype kSectorSize = 512;

    // Sectors on every track; the read and write commands refuse sectors beyond it.
    quint32 sectorsPerTrack = 0x300;
    // The track the last select command chose.
    bool selected = false;
    quint32 selectedCylinder = 0;
    quint32 selectedHead = 0;

    // Tracks that were seeded or written, whole, by (cylinder, head).
    std::map<std::pair<quint32, quint32>, QByteArray> tracks;

    // The default content of a sector nobody wrote.
    static QByteArray defaultSector(quint32 cylinder, quint32 head, quint32 sector) {
        QByteArray s(kSectorSize, '\0');
        char* p = s.data();
        std::memcpy(p, "SYSM", 4);
        for (int i = 0; i < 4; ++i) p[4 + i] = static_cast<char>((cylinder >> (8 * i)) & 0xFF);
        p[8] = static_cast<char>(head & 0xFF);
        p[9] = 0;
        p[10] = static_cast<char>(sector & 0xFF);
        p[11] = static_cast<char>((sector >> 8) & 0xFF);
        for (qsizetype i = 12; i < kSectorSize; ++i) {
            quint32 h = cylinder * 0x9E3779B1u ^ head * 0x85EBCA77u ^ sector * 0xC2B2AE3Du ^
                        static_cast<quint32>(i) * 0x27D4EB2Fu;
            h ^= h >> 15;
            h *= 0x2C1B3C6Du;
            h ^= h >> 12;
            p[i] = static_cast<char>(h & 0xFF);
        }
        return s;
    }

    // The whole track, made from the default content when nobody wrote it yet.
    QByteArray& track(quint32 cylinder, quint32 head) {
        auto it = tracks.find({cylinder, head});
        if (it != tracks.end()) {
            const qsizetype want = qsizetype{sectorsPerTrack} * kSectorSize;
            for (quint32 s = static_cast<quint32>(it->second.size() / kSectorSize); it->second.size() < want;
                 ++s)
                it->second += defaultSector(cylinder, head, s);
            return it->second;
        }
        QByteArray t;
        t.reserve(qsizetype{sectorsPerTrack} * kSectorSize);
        for (quint32 s = 0; s < sectorsPerTrack; ++s) t += defaultSector(cylinder, head, s);
        return tracks[{cylinder, head}] = t;
    }

    bool inRange(quint32 first, quint32 count) const {
        return count > 0 && quint64{first} + count <= sectorsPerTrack;
    }

    // count sectors from first (empty when out of range).
    QByteArray read(quint32 cylinder, quint32 head, quint32 first, quint32 count) {
        if (!inRange(first, count)) return {};
        return track(cylinder, head).mid(qsizetype{first} * kSectorSize, qsizetype{count} * kSectorSize);
    }

    // Stores whole sectors from first on; false when they do not fit on the track.
    bool write(quint32 cylinder, quint32 head, quint32 first, const QByteArray& data) {
        const quint32 count = static_cast<quint32>(data.size() / kSectorSize);
        if (data.size() % kSectorSize != 0 || !inRange(first, count)) return false;
        track(cylinder, head).replace(qsizetype{first} * kSectorSize, data.size(), data);
        return true;
    }

    // A module image placed on a track from firstSector on (whole sectors; a last partial sector
    // is padded with zeros).
    void seed(quint32 cylinder, quint32 head, QByteArray image, quint32 firstSector = 0) {
        if (image.size() % kSectorSize) image.append(kSectorSize - image.size() % kSectorSize, '\0');
        const quint32 count = static_cast<quint32>(image.size() / kSectorSize);
        if (quint64{firstSector} + count > sectorsPerTrack) sectorsPerTrack = firstSector + count;
        track(cylinder, head).replace(qsizetype{firstSector} * kSectorSize, image.size(), image);
    }
};

}  // namespace hddsim
