#pragma once
// The module's register map as the main window reads it: the read requests and
// the decoding of every intact reply into the shared module data. Windows bind
// to the notifications to refresh their controls.

#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "protocol/requests.h"

#include <QObject>

namespace krv {

// Start registers of the function-03 reads.
namespace Reg {
constexpr qint16 Measurements = 0x0000;
constexpr qint16 SystemBlock = 0x0012;
constexpr qint16 SensorCodes = 0x0062;
constexpr qint16 POutTime = 0x0072;
constexpr qint16 Calibration = 0x0082;
constexpr qint16 ModuleControl = 0x01F8;
} // namespace Reg

class RegisterMap : public QObject
{
    Q_OBJECT
public:
    RegisterMap(SharedState &state, TransactionEngine &engine, QObject *parent = nullptr);

    void GetData();
    void GetSys();
    void GetChnlSensor();
    void GetPOutTime();
    void GetECalbData();
    void GetModCon();
    void GetDO();
    void GetControlEn();
    void GetDI();
    void GetDeviceID();

    // Decodes the intact reply in CommBuf by its function code (and ReqRegister).
    void dispatch();

    // The parallel-port output time for a register value, in microseconds.
    static double pOutTimeMicros(quint16 v);
    // "REREVE2060RIDU  Version5.3" from the identifier and version bytes.
    static QString deviceText(const QByteArray &id, quint8 major, quint8 minor);
    static bool isKnownModule(const QByteArray &id);

Q_SIGNALS:
    void measurementsDecoded(int count, bool record); // Dis(0..count-1)
    void systemBlockDecoded();                        // ShowSysInfo
    void sensorCodesDecoded(int count);               // ChnlSensor(0..count-1)
    void pOutTimeDecoded(const QString &text);        // POutTime
    void calibrationDecoded(int count);               // EngCalb(0..count-1)
    void moduleControlDecoded();
    void outputsDecoded();                     // DOoutP(0..8)
    void controlEnableDecoded();               // DOoutP(9)
    void inputsDecoded();                      // DI(0..19)
    void deviceIdDecoded(const QString &text); // Text12
    // The identifier reply was decoded: the 14 identifier bytes as received, and
    // the firmware version (VerMajor * 10 + VerMinor) that the new one replaced.
    void deviceIdentified(const QByteArray &id, int previousVersion);

private:
    void readRequest(const QString &status, quint8 function, quint16 start = 0, quint16 count = 0);
    // The intact reply in the frame buffer.
    ReplyReader reply() const;
    // True when the reply holds n bytes before its check field; otherwise
    // reports the short reply on the status line.
    bool need(const ReplyReader &r, int n);
    // How many registers a register-list reply carries (as its byte count says,
    // at most eight), or -1 for a reply shorter than that (reported).
    int listLength(const ReplyReader &r);
    // Stores n signed registers from byte 3 on.
    template <std::size_t N>
    static void storeList(const ReplyReader &r, int n, std::array<qint32, N> &target);

    void decodeMeasurements(bool record);
    void decodeSystemBlock();
    void decodeSensorCodes();
    void decodePOutTime();
    void decodeCalibration();
    void decodeModuleControl();
    void decodeCoils();
    void decodeInputs();
    void decodeDeviceId();

    SharedState &m_state;
    TransactionEngine &m_engine;
};

} // namespace krv
