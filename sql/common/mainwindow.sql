-- name: websites_first
select * from websites000 

-- name: default_report_path
select filepath from reports000 where defaultrep=1
