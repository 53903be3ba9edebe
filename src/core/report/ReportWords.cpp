// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/ReportWords.h"

#include <cctype>

namespace km740 {

namespace {

struct Row {
    Word word;
    std::array<std::string_view, 6> text; // en fr de it pt es
};

constexpr Row kWords[] = {
    {Word::title,
     {"Noise exposure report", "Rapport d'exposition au bruit", "Bericht zur Lärmexposition",
      "Rapporto di esposizione al rumore", "Relatório de exposição ao ruído", "Informe de exposición al ruido"}},
    {Word::name, {"Name", "Nom", "Name", "Nome", "Nome", "Nombre"}},
    {Word::sector, {"Sector", "Secteur", "Bereich", "Reparto", "Setor", "Sector"}},
    {Word::company, {"Company", "Entreprise", "Firma", "Azienda", "Empresa", "Empresa"}},
    {Word::dataFile,
     {"Data file", "Fichier de données", "Datendatei", "File di dati", "Arquivo de dados", "Archivo de datos"}},
    {Word::start, {"Start", "Début", "Beginn", "Inizio", "Início", "Inicio"}},
    {Word::end, {"End", "Fin", "Ende", "Fine", "Fim", "Fin"}},
    {Word::duration, {"Duration", "Durée", "Dauer", "Durata", "Duração", "Duración"}},
    {Word::calibration, {"Calibration", "Étalonnage", "Kalibrierung", "Calibrazione", "Calibração", "Calibración"}},
    {Word::instrument,
     {"Instrument settings", "Réglages de l'instrument", "Geräteeinstellungen", "Impostazioni dello strumento",
      "Configuração do instrumento", "Ajustes del instrumento"}},
    {Word::calibratedDb,
     {"Calibration level", "Niveau d'étalonnage", "Kalibrierpegel", "Livello di calibrazione", "Nível de calibração",
      "Nivel de calibración"}},
    {Word::timeWeight,
     {"Time weighting", "Pondération temporelle", "Zeitbewertung", "Ponderazione temporale", "Ponderação temporal",
      "Ponderación temporal"}},
    {Word::freqWeight,
     {"Frequency weighting", "Pondération fréquentielle", "Frequenzbewertung", "Ponderazione in frequenza",
      "Ponderação em frequência", "Ponderación frecuencial"}},
    {Word::thresholdLevel,
     {"Threshold level", "Niveau seuil", "Schwellenpegel", "Livello di soglia", "Nível limiar", "Nivel umbral"}},
    {Word::criterionLevel,
     {"Criterion level", "Niveau critère", "Kriteriumspegel", "Livello di criterio", "Nível critério",
      "Nivel criterio"}},
    {Word::exchangeRate,
     {"Exchange rate", "Taux d'échange", "Halbierungsparameter", "Tasso di scambio", "Taxa de troca",
      "Tasa de intercambio"}},
    {Word::peak, {"Peak", "Crête", "Spitze", "Picco", "Pico", "Pico"}},
    {Word::range, {"Range", "Gamme", "Messbereich", "Campo di misura", "Faixa", "Rango"}},
    {Word::calibratedTime,
     {"Calibration time", "Heure d'étalonnage", "Kalibrierzeit", "Ora di calibrazione", "Hora da calibração",
      "Hora de calibración"}},
    {Word::timeHistory,
     {"Time history", "Évolution temporelle", "Pegelverlauf", "Andamento temporale", "Histórico temporal",
      "Historial temporal"}},
    {Word::clockTime, {"Time", "Heure", "Uhrzeit", "Ora", "Hora", "Hora"}},
    {Word::criterionLine, {"criterion", "critère", "Kriterium", "criterio", "critério", "criterio"}},
    {Word::actionLine, {"action", "action", "Auslösewert", "azione", "ação", "acción"}},
    {Word::upperActionLine,
     {"upper action", "action supérieure", "oberer Auslösewert", "azione superiore", "ação superior",
      "acción superior"}},
    {Word::limitLine, {"limit", "limite", "Grenzwert", "limite", "limite", "límite"}},
    {Word::excluded, {"Left out", "Exclu", "Ausgeschlossen", "Escluso", "Excluído", "Excluido"}},
    {Word::summary,
     {"Exposure summary", "Synthèse de l'exposition", "Zusammenfassung der Exposition", "Sintesi dell'esposizione",
      "Resumo da exposição", "Resumen de la exposición"}},
    {Word::readings, {"Readings", "Mesures", "Messwerte", "Letture", "Leituras", "Lecturas"}},
    {Word::readingsValue,
     {"%1 used, %2 left out", "%1 retenues, %2 exclues", "%1 verwendet, %2 ausgeschlossen", "%1 usate, %2 escluse",
      "%1 usadas, %2 excluídas", "%1 usadas, %2 excluidas"}},
    {Word::measuredTime,
     {"Time measured", "Durée mesurée", "Gemessene Zeit", "Tempo misurato", "Tempo medido", "Tiempo medido"}},
    {Word::exposureTime,
     {"Exposure time", "Durée d'exposition", "Expositionsdauer", "Tempo di esposizione", "Tempo de exposição",
      "Tiempo de exposición"}},
    {Word::exposureTimeMeasured,
     {"the time measured", "la durée mesurée", "die gemessene Zeit", "il tempo misurato", "o tempo medido",
      "el tiempo medido"}},
    {Word::exposureTimeSet,
     {"set for the shift", "fixée pour le poste", "für die Schicht festgelegt", "impostato per il turno",
      "definido para o turno", "fijado para el turno"}},
    {Word::soundExposure,
     {"Sound exposure", "Exposition sonore", "Schallexposition", "Esposizione sonora", "Exposição sonora",
      "Exposición sonora"}},
    {Word::exposurePoints,
     {"Exposure points", "Points d'exposition", "Expositionspunkte", "Punti di esposizione", "Pontos de exposição",
      "Puntos de exposición"}},
    {Word::timeAbove,
     {"Time at or above %1 dB", "Durée à %1 dB ou plus", "Zeit ab %1 dB", "Tempo a %1 dB o più",
      "Tempo a %1 dB ou mais", "Tiempo a %1 dB o más"}},
    {Word::standard, {"Standard", "Norme", "Norm", "Norma", "Norma", "Norma"}},
    {Word::dosePercent, {"Dose %", "Dose %", "Dosis %", "Dose %", "Dose %", "Dosis %"}},
    {Word::twa, {"TWA", "TWA", "TWA", "TWA", "TWA", "TWA"}},
    {Word::projectedDose,
     {"Proj. dose %", "Dose proj. %", "Proj. Dosis %", "Dose proiet. %", "Dose proj. %", "Dosis proy. %"}},
    {Word::projectedTwa, {"Proj. TWA", "TWA proj.", "Proj. TWA", "TWA proiet.", "TWA proj.", "TWA proy."}},
    {Word::lavg, {"Lavg", "Lavg", "Lavg", "Lavg", "Lavg", "Lavg"}},
    {Word::shiftDose,
     {"Shift dose %", "Dose poste %", "Schichtdosis %", "Dose turno %", "Dose turno %", "Dosis turno %"}},
    {Word::shiftTwa, {"Shift TWA", "TWA poste", "Schicht-TWA", "TWA turno", "TWA turno", "TWA turno"}},
    {Word::judgement, {"Judgement", "Appréciation", "Bewertung", "Giudizio", "Avaliação", "Valoración"}},
    {Word::notJudged,
     {"no reading", "aucune mesure", "keine Messwerte", "nessuna lettura", "sem leituras", "sin lecturas"}},
    {Word::belowAction,
     {"below action", "sous la valeur d'action", "unter Auslösewert", "sotto il valore di azione",
      "abaixo do nível de ação", "bajo el nivel de acción"}},
    {Word::belowLimit,
     {"below limit", "sous la valeur limite", "unter Grenzwert", "sotto il valore limite", "abaixo do limite",
      "bajo el valor límite"}},
    {Word::aboveAction,
     {"above action", "au-dessus de la valeur d'action", "über Auslösewert", "sopra il valore di azione",
      "acima do nível de ação", "sobre el nivel de acción"}},
    {Word::aboveLowerAction,
     {"above lower action", "au-dessus de l'action inférieure", "über unterem Auslösewert", "sopra l'azione inferiore",
      "acima da ação inferior", "sobre la acción inferior"}},
    {Word::aboveUpperAction,
     {"above upper action", "au-dessus de l'action supérieure", "über oberem Auslösewert", "sopra l'azione superiore",
      "acima da ação superior", "sobre la acción superior"}},
    {Word::aboveLimit,
     {"above limit", "au-dessus de la valeur limite", "über Grenzwert", "sopra il valore limite", "acima do limite",
      "sobre el valor límite"}},
    {Word::legendDose,
     {"%1: action at %2, limit above %3, on the shift dose.",
      "%1 : action à %2, limite au-delà de %3, sur la dose du poste.",
      "%1: Auslösewert ab %2, Grenzwert über %3, nach der Schichtdosis.",
      "%1: azione da %2, limite oltre %3, sulla dose del turno.",
      "%1: ação a partir de %2, limite acima de %3, pela dose do turno.",
      "%1: acción desde %2, límite por encima de %3, según la dosis del turno."}},
    {Word::legendLimit,
     {"%1: limit above %2, on the shift dose.", "%1 : limite au-delà de %2, sur la dose du poste.",
      "%1: Grenzwert über %2, nach der Schichtdosis.", "%1: limite oltre %2, sulla dose del turno.",
      "%1: limite acima de %2, pela dose do turno.", "%1: límite por encima de %2, según la dosis del turno."}},
    {Word::legendLex,
     {"%1: lower action at %2, upper action at %3, limit above %4, on LEX,8h.",
      "%1 : action inférieure à %2, action supérieure à %3, limite au-delà de %4, sur LEX,8h.",
      "%1: unterer Auslösewert ab %2, oberer Auslösewert ab %3, Grenzwert über %4, nach LEX,8h.",
      "%1: azione inferiore da %2, azione superiore da %3, limite oltre %4, su LEX,8h.",
      "%1: ação inferior a partir de %2, ação superior a partir de %3, limite acima de %4, pelo LEX,8h.",
      "%1: acción inferior desde %2, acción superior desde %3, límite por encima de %4, según LEX,8h."}},
    {Word::distribution,
     {"Level distribution", "Distribution des niveaux", "Pegelverteilung", "Distribuzione dei livelli",
      "Distribuição dos níveis", "Distribución de niveles"}},
    {Word::percentOfTime, {"% of time", "% du temps", "% der Zeit", "% del tempo", "% do tempo", "% del tiempo"}},
    {Word::lnCaption,
     {"Level exceeded during n % of the time", "Niveau dépassé pendant n % du temps",
      "In n % der Zeit überschrittener Pegel", "Livello superato per l'n % del tempo",
      "Nível excedido durante n % do tempo", "Nivel superado durante el n % del tiempo"}},
    {Word::exclusions,
     {"Left out of the values", "Exclus des valeurs", "Von den Werten ausgeschlossen", "Esclusi dai valori",
      "Excluídos dos valores", "Excluidos de los valores"}},
    {Word::from, {"From", "Du", "Von", "Da", "De", "Desde"}},
    {Word::to, {"To", "Au", "Bis", "A", "Até", "Hasta"}},
    {Word::reason, {"Reason", "Motif", "Grund", "Motivo", "Motivo", "Motivo"}},
    {Word::nothingExcluded,
     {"Nothing was left out.", "Rien n'a été exclu.", "Nichts wurde ausgeschlossen.", "Nulla è stato escluso.",
      "Nada foi excluído.", "No se excluyó nada."}},
    {Word::notes, {"Notes", "Remarques", "Anmerkungen", "Note", "Observações", "Notas"}},
    {Word::signature, {"Signature", "Signature", "Unterschrift", "Firma", "Assinatura", "Firma"}},
    {Word::date, {"Date", "Date", "Datum", "Data", "Data", "Fecha"}},
    {Word::page,
     {"Page %1 of %2", "Page %1 sur %2", "Seite %1 von %2", "Pagina %1 di %2", "Página %1 de %2", "Página %1 de %2"}},
    {Word::made, {"Made %1", "Établi le %1", "Erstellt am %1", "Creato il %1", "Gerado em %1", "Generado el %1"}},
    {Word::weekTitle,
     {"Weekly noise exposure report", "Rapport d'exposition hebdomadaire au bruit",
      "Bericht zur wöchentlichen Lärmexposition", "Rapporto di esposizione settimanale al rumore",
      "Relatório de exposição semanal ao ruído", "Informe de exposición semanal al ruido"}},
    {Word::isoWeek, {"Week", "Semaine", "Woche", "Settimana", "Semana", "Semana"}},
    {Word::period, {"Period", "Période", "Zeitraum", "Periodo", "Período", "Período"}},
    {Word::periodValue, {"%1 to %2", "du %1 au %2", "%1 bis %2", "dal %1 al %2", "de %1 a %2", "del %1 al %2"}},
    {Word::daysWorked,
     {"Days worked", "Jours travaillés", "Arbeitstage", "Giorni lavorati", "Dias trabalhados", "Días trabajados"}},
    {Word::points, {"Points", "Points", "Punkte", "Punti", "Pontos", "Puntos"}},
    {Word::measurements, {"Measurements", "Mesurages", "Messungen", "Misure", "Medições", "Mediciones"}},
    {Word::weeklyExposure,
     {"Weekly exposure", "Exposition hebdomadaire", "Wochenexposition", "Esposizione settimanale", "Exposição semanal",
      "Exposición semanal"}},
    {Word::weekPoints,
     {"Weekly points", "Points de la semaine", "Wochenpunkte", "Punti settimanali", "Pontos semanais",
      "Puntos semanales"}},
    {Word::noDayWorked,
     {"No measurement of %1 with a LEX,8h in week %2.", "Aucun mesurage de %1 avec un LEX,8h dans la semaine %2.",
      "Keine Messung von %1 mit einem LEX,8h in der Woche %2.",
      "Nessuna misura di %1 con un LEX,8h nella settimana %2.", "Nenhuma medição de %1 com um LEX,8h na semana %2.",
      "Ninguna medición de %1 con un LEX,8h en la semana %2."}},
    {Word::notCounted,
     {"Not counted, having no LEX,8h (a dose logger set holds no levels): %1.",
      "Non comptés, faute de LEX,8h (un relevé de dose ne contient pas de niveaux) : %1.",
      "Nicht gezählt, da ohne LEX,8h (ein Dosis-Datensatz enthält keine Pegel): %1.",
      "Non conteggiate, senza LEX,8h (un set di dose non contiene livelli): %1.",
      "Não contadas, sem LEX,8h (um conjunto de dose não contém níveis): %1.",
      "No contadas, sin LEX,8h (un conjunto de dosis no contiene niveles): %1."}},
    {Word::legendWeek,
     {"LEX,w: lower action at %1, upper action at %2, limit above %3.",
      "LEX,w : action inférieure à %1, action supérieure à %2, limite au-delà de %3.",
      "LEX,w: unterer Auslösewert ab %1, oberer Auslösewert ab %2, Grenzwert über %3.",
      "LEX,w: azione inferiore da %1, azione superiore da %2, limite oltre %3.",
      "LEX,w: ação inferior a partir de %1, ação superior a partir de %2, limite acima de %3.",
      "LEX,w: acción inferior desde %1, acción superior desde %2, límite por encima de %3."}},
    {Word::weekFormula,
     {"LEX,w = 10 lg((1/5) Σ 10^(0.1 LEX,8h,d)): the days worked added as energy over 5 nominal days. Several "
      "measurements on one day add as energy into that day's LEX,8h, each counted on the day it started. A day's "
      "points are 100 × 10^((LEX,8h,d − 85)/10); the week's points are their sum.",
      "LEX,w = 10 lg((1/5) Σ 10^(0,1 LEX,8h,d)) : les jours travaillés additionnés en énergie sur 5 jours nominaux. "
      "Plusieurs mesurages d'un même jour s'additionnent en énergie dans le LEX,8h de ce jour, chacun compté le jour "
      "où il a commencé. Les points d'un jour valent 100 × 10^((LEX,8h,d − 85)/10) ; ceux de la semaine en sont la "
      "somme.",
      "LEX,w = 10 lg((1/5) Σ 10^(0,1 LEX,8h,d)): die Arbeitstage energetisch addiert über 5 Nenntage. Mehrere "
      "Messungen eines Tages addieren sich energetisch zum LEX,8h dieses Tages, jede an dem Tag gezählt, an dem sie "
      "begann. Die Punkte eines Tages sind 100 × 10^((LEX,8h,d − 85)/10), die der Woche ihre Summe.",
      "LEX,w = 10 lg((1/5) Σ 10^(0,1 LEX,8h,d)): i giorni lavorati sommati in energia su 5 giorni nominali. Più "
      "misure di uno stesso giorno si sommano in energia nel LEX,8h di quel giorno, ciascuna contata nel giorno in cui "
      "è iniziata. I punti di un giorno sono 100 × 10^((LEX,8h,d − 85)/10); quelli della settimana ne sono la somma.",
      "LEX,w = 10 lg((1/5) Σ 10^(0,1 LEX,8h,d)): os dias trabalhados somados em energia sobre 5 dias nominais. Várias "
      "medições de um mesmo dia somam-se em energia no LEX,8h desse dia, cada uma contada no dia em que começou. Os "
      "pontos de um dia são 100 × 10^((LEX,8h,d − 85)/10); os da semana são a sua soma.",
      "LEX,w = 10 lg((1/5) Σ 10^(0,1 LEX,8h,d)): los días trabajados sumados en energía sobre 5 días nominales. "
      "Varias mediciones de un mismo día se suman en energía en el LEX,8h de ese día, cada una contada el día en que "
      "empezó. Los puntos de un día son 100 × 10^((LEX,8h,d − 85)/10); los de la semana son su suma."}},
};

constexpr bool inOrder()
{
    std::size_t i = 0;
    for (const Row& r : kWords)
        if (static_cast<std::size_t>(r.word) != i++)
            return false;
    return i == static_cast<std::size_t>(Word::count_);
}
static_assert(inOrder(), "one row per word, in the order of Word");

constexpr std::array<std::string_view, 6> kCodes = {"en", "fr", "de", "it", "pt", "es"};
constexpr std::array<std::string_view, 6> kNames = {"English",  "Français",  "Deutsch",
                                                    "Italiano", "Português", "Español"};

} // namespace

std::string_view languageCode(Language language)
{
    return kCodes[static_cast<std::size_t>(language)];
}

std::string_view languageName(Language language)
{
    return kNames[static_cast<std::size_t>(language)];
}

std::optional<Language> languageNamed(std::string_view code)
{
    if (code.size() != 2)
        return std::nullopt;
    const std::string lower{static_cast<char>(std::tolower(static_cast<unsigned char>(code[0]))),
                            static_cast<char>(std::tolower(static_cast<unsigned char>(code[1])))};
    for (Language l : kLanguages)
        if (languageCode(l) == lower)
            return l;
    return std::nullopt;
}

Regional regionalOf(Language language)
{
    return language == Language::en ? Regional::point() : Regional::comma();
}

std::string_view word(Language language, Word w)
{
    return kWords[static_cast<std::size_t>(w)].text[static_cast<std::size_t>(language)];
}

std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments)
{
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < arguments.size())
                out += *(arguments.begin() + n);
            ++i;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

} // namespace km740
